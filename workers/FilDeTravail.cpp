#include "workers/FilDeTravail.h"

#include <QMetaObject>
#include <QDeadlineTimer>
#include <QThread>

FilDeTravail::FilDeTravail(std::unique_ptr<QObject> travailleur, const char* nom, Fin fin,
                           std::chrono::milliseconds delai)
    : etat_(std::make_shared<Etat>()), fil_(new QThread), travailleur_(travailleur.release()), fin_(fin),
      delai_(delai)
{
    fil_->setObjectName(QString::fromLatin1(nom));
    travailleur_->moveToThread(fil_);
    // Qt deletes an object whose deletion was asked once its thread's loop
    // has ended, as that thread finishes.
    QObject::connect(fil_, &QThread::finished, travailleur_, &QObject::deleteLater);
    fil_->start();
}

FilDeTravail::~FilDeTravail()
{
    // The end is queued behind the work asked: QThread::quit would leave
    // the calls still queued unrun.
    Executer([] { QThread::currentThread()->quit(); });
    if (fin_ == Fin::Attendre ? fil_->wait() : fil_->wait(QDeadlineTimer(delai_))) {
        delete fil_;
        return;
    }
    // Work under way on something that does not answer: the thread object
    // is deleted once the thread has ended, from the queue of the thread
    // that made it, or here if it ended meanwhile (once, whichever comes first).
    auto supprime = std::make_shared<std::atomic<bool>>(false);
    QObject::connect(fil_, &QThread::finished, fil_, [fil = fil_, supprime] {
        if (!supprime->exchange(true))
            fil->deleteLater();
    });
    if (fil_->isFinished() && !supprime->exchange(true)) {
        fil_->wait();
        delete fil_;
    }
}

void FilDeTravail::Executer(std::function<void()> travail)
{
    ++etat_->enCours;
    QMetaObject::invokeMethod(
        travailleur_,
        [etat = etat_, travail = std::move(travail)] {
            travail();
            --etat->enCours;
        },
        Qt::QueuedConnection);
}
