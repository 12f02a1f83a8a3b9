#include "widgets/TSplitter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

class BarreHachuree : public QWidget {
public:
    explicit BarreHachuree(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
    }
};

} // namespace

TSplitter::TSplitter(QWidget* zoneClient)
    : QWidget(zoneClient), zoneClient_(zoneClient), barre_(new BarreHachuree(zoneClient))
{
    setCursor(Qt::SizeHorCursor);
    setFocusPolicy(Qt::NoFocus);
}

int TSplitter::XClient(const QPointF& positionLocale) const
{
    return mapTo(zoneClient_, positionLocale.toPoint()).x();
}

bool TSplitter::event(QEvent* event)
{
    if (event->type() == QEvent::WindowBlocked && glissement_.Active()) {
        glissement_.Cancel();
        Terminer();
    }
    return QWidget::event(event);
}

void TSplitter::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !LargeurPanneau)
        return;
    const int largeur = LargeurPanneau();
    gauchePanneau_ = x() - largeur;
    glissement_.Begin(largeur, zoneClient_->width(), XClient(event->position()));
    PlacerBarre();
    barre_->raise();
    barre_->show();
    grabKeyboard(); // for Esc
}

void TSplitter::mouseMoveEvent(QMouseEvent* event)
{
    if (!glissement_.Active())
        return;
    glissement_.Move(XClient(event->position()));
    PlacerBarre();
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const auto largeur = glissement_.Release(XClient(event->position()));
    Terminer();
    if (largeur && AppliquerLargeur)
        AppliquerLargeur(*largeur);
}

void TSplitter::keyPressEvent(QKeyEvent* event)
{
    if (glissement_.Active() && event->key() == Qt::Key_Escape) {
        glissement_.Cancel();
        Terminer();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TSplitter::PlacerBarre()
{
    barre_->setGeometry(gauchePanneau_ + glissement_.LargeurBornee(), y(), width(), height());
}

void TSplitter::Terminer()
{
    barre_->hide();
    releaseKeyboard();
}
