#pragma once
// A main window on fakes: scripted card ports, recorded message boxes and
// desktop services. Every test starts from the program's state at start: the
// run state and the card unit's state reset, the decimal separator a comma,
// the program's style and font.
#include "acquisition/Clocks.h"
#include "widgets/Apparence.h"
#include "widgets/TRadioGroup.h"
#include "app/UPrincipal.h"
#include "workers/Acquisition.h"
#include "acquisition/SimulatedCard.h"
#include "chart/TChart.h"
#include "numtext/NumberText.h"
#include "tests/app/support/FakeBoxes.h"
#include "tests/app/support/FakePlatform.h"
#include "tests/acquisition/support/FakePorts.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

class FenetreTest : public ::testing::Test {
protected:
    static constexpr std::uint16_t kPortVoie1 = 0x280;
    static constexpr std::uint16_t kPortVoie2 = 0x282;

    void SetUp() override
    {
        UPrincipal::ReinitialiserEtatUnite();
        UDravoC::ReinitialiserEtatUnite();
        SetDecimalSeparator(',');
        AppliquerApparence();
        ports.SetRecording(false);
        SetCodes(2048, 2048);
        form = std::make_unique<TForm1>(ports, boxes, &platform);
        form->HorlogeLectures = &horloge;
        form->MontrerAPropos = [this] { ++aboutShown; };
    }

    void TearDown() override
    {
        form.reset();
        UPrincipal::ReinitialiserEtatUnite();
        UDravoC::ReinitialiserEtatUnite();
    }

    // Shows the window and makes it the active one, as after start.
    void Montrer()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // The converter codes (0..4095) the card returns on channels 1 and 2.
    void SetCodes(std::uint16_t voie1, std::uint16_t voie2)
    {
        ports.SetWord(kPortVoie1, SimulatedCard::DataWord(voie1));
        ports.SetWord(kPortVoie2, SimulatedCard::DataWord(voie2));
    }
    // The voltage of a code, as the card's driver computes it.
    static double Tension(double code) { return (code - 2047.5) * 10.24 / 4094; }

    // One timer tick, through the timer's own signal and the handler guard:
    // the signal queues the tick, which then runs and asks the acquisition's
    // thread for its reading; the test waits for the result the window takes
    // (a reading that never comes fails the test). The reading comes one
    // period after the previous one. The analysis window's refresh, queued
    // by the tick, runs too.
    void Tick()
    {
        horloge.Advance(std::chrono::nanoseconds(1000130000));
        QSignalSpy lue(&form->Lectures(), &Acquisition::Lue);
        // The test's tick goes through even when given from inside another
        // tick's wait (an error box opened by it).
        const bool bloquee = form->Timer1->blockSignals(false);
        QMetaObject::invokeMethod(form->Timer1, "timeout");
        // The wait below runs an event loop: on a loaded machine the real
        // timer's second can elapse there, and its tick, at the same virtual
        // time, is not the test's. It is dropped.
        form->Timer1->blockSignals(true);
        const auto remettre = qScopeGuard([this, bloquee] { form->Timer1->blockSignals(bloquee); });
        QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);
        if (form->Lectures().Occupe()) {
            ASSERT_TRUE(lue.wait(kAttenteLecture)) << "no reading came back";
        }
        QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);
    }
    static constexpr int kAttenteLecture = 30000; // ms, far beyond a loaded machine's slowest

    // A press of Button1, and the analysis window's refresh it queues. A
    // stop of a journaled run waits for the journal's release (every line
    // on the disk, the file closed).
    void Click()
    {
        const bool arretJournalise = UPrincipal::EnMarche && !form->DossierJournal.empty();
        QSignalSpy termine(&form->Lectures(), &Acquisition::JournalTermine);
        form->Button1->click();
        if (arretJournalise && termine.isEmpty()) {
            ASSERT_TRUE(termine.wait(kAttenteLecture)) << "the run's journal was never released";
        }
        QCoreApplication::sendPostedEvents(form.get(), QEvent::MetaCall);
    }

    int Points1() const { return form->Series1->Count(); }
    int Points2() const { return form->Series2->Count(); }

    FakePorts ports;
    FakeBoxes boxes;
    FakePlatform platform;
    VirtualClock horloge; // dates the readings
    std::unique_ptr<TForm1> form;
    int aboutShown = 0;
};
