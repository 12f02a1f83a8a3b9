#include "workers/LecturesEnFond.h"

#include <QMetaObject>

LecturesEnFond::LecturesEnFond(Lecture lire, Livraison livrer, QObject* fenetre)
    : lire_(std::move(lire)), livrer_(std::move(livrer)), fenetre_(fenetre), contexte_(new QObject)
{
    fil_.setObjectName(QStringLiteral("lectures"));
    contexte_->moveToThread(&fil_);
    QObject::connect(&fil_, &QThread::finished, contexte_, &QObject::deleteLater);
    fil_.start();
}

LecturesEnFond::~LecturesEnFond()
{
    Attendre();
    fil_.quit();
    fil_.wait();
}

bool LecturesEnFond::Demander(std::uint64_t marche)
{
    {
        const std::lock_guard<std::mutex> garde(verrou_);
        if (occupe_)
            return false;
        occupe_ = true;
    }
    QMetaObject::invokeMethod(
        contexte_,
        [this, marche] {
            TensionsLues lues;
            try {
                lues = lire_();
            } catch (...) {
                lues.echec = std::current_exception();
            }
            lues.marche = marche;
            // Handed to the window's queue before the reading is over: a
            // stop that waited for it then finds its result queued, and drops it.
            QMetaObject::invokeMethod(
                fenetre_, [livrer = livrer_, lues] { livrer(lues); }, Qt::QueuedConnection);
            {
                const std::lock_guard<std::mutex> garde(verrou_);
                occupe_ = false;
            }
            libre_.notify_all();
        },
        Qt::QueuedConnection);
    return true;
}

void LecturesEnFond::Attendre()
{
    std::unique_lock<std::mutex> verrou(verrou_);
    libre_.wait(verrou, [this] { return !occupe_; });
}

bool LecturesEnFond::Occupe() const
{
    const std::lock_guard<std::mutex> garde(verrou_);
    return occupe_;
}
