#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Avancement d'une réaction chimique."));
    window.showMaximized();
    return application.exec();
}
