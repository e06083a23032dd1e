// The runtime layer on its own: the toolkit's strings and locale, the
// guard around event procedures and the run-time error report's wording,
// the random sequence.

#include "application.h"
#include "dispatch.h"
#include "random_generator.h"
#include "runtime_error.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

#include <cmath>
#include <new>
#include <stdexcept>

class TestRuntime : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { runtime::prepareToolkit({"Cifrella", "1.00", {}}); }

    // The test runs with LANG=C: the menu is Italian whatever the desktop's
    // language, in the words of the toolkit's own translation ("Rifai").
    void anEntryBoxContextMenuIsItalian()
    {
        QLineEdit box;
        box.setText("15");
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList entries;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                entries << a->text().remove('&').section('\t', 0, 0);
        for (const char* word : {"Annulla", "Rifai", "Taglia", "Copia", "Incolla", "Elimina", "Seleziona tutto"})
            QVERIFY2(entries.contains(word), qPrintable(entries.join(", ")));
    }

    void theLocaleIsItalian()
    {
        QCOMPARE(QLocale().language(), QLocale::Italian);
        QCOMPARE(QLocale().toString(1.5), "1,5");
    }

    void runtimeErrorsAreNamedInItalian_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("words");
        QTest::newRow("subscript") << 0 << "Errore di run-time: indice fuori intervallo.";
        QTest::newRow("memory") << 1 << "Errore di run-time: memoria esaurita.";
        QTest::newRow("overflow") << 2 << "Errore di run-time: overflow.";
        QTest::newRow("broken contract") << 3 << "Errore di run-time: errore interno del programma.";
        QTest::newRow("anything else") << 4 << "Errore di run-time: errore sconosciuto.";
    }

    void runtimeErrorsAreNamedInItalian()
    {
        QFETCH(int, kind);
        QFETCH(QString, words);
        std::exception_ptr error;
        try {
            switch (kind) {
            case 0: throw std::out_of_range("index 28");
            case 1: throw std::bad_alloc();
            case 2: throw std::overflow_error("sum");
            case 3: throw std::logic_error("bad draw");
            default: throw 7;
            }
        } catch (...) {
            error = std::current_exception();
        }
        QVERIFY(runtime::describeRuntimeError(error).startsWith(words));
    }

    // An event procedure that raises is stopped at its guard; the error is
    // handled from the event loop, once, and nothing is dispatched after it.
    void aRaisingProcedureStopsDispatchingAndIsReportedOnce()
    {
        QStringList seen;
        runtime::setErrorHandler([&](std::exception_ptr e) { seen << runtime::describeRuntimeError(e); });
        int ran = 0;
        runtime::runProcedure([&] {
            ++ran;
            throw std::out_of_range("index 28");
        });
        runtime::runProcedure([&] { ++ran; });
        QVERIFY(runtime::dispatchStopped());
        QCOMPARE(ran, 1);
        QVERIFY(seen.isEmpty()); // not from inside the procedure
        QTRY_COMPARE(seen.size(), 1);
        QVERIFY(seen[0].startsWith("Errore di run-time: indice fuori intervallo."));

        // A load that raises ends the procedure that showed the screen too.
        runtime::setErrorHandler([&](std::exception_ptr e) { seen << runtime::describeRuntimeError(e); });
        bool afterShow = false;
        runtime::runProcedure([&] {
            runtime::runLoad([] { throw std::bad_alloc(); });
            afterShow = true;
        });
        QVERIFY(!afterShow);
        QTRY_COMPARE(seen.size(), 2);
        QVERIFY(seen[1].startsWith("Errore di run-time: memoria esaurita."));
        runtime::setErrorHandler(nullptr);
    }

    // The extremes of the bits give 0 and the largest single below 1: a
    // generator that could reach 1.0 or go below 0 fails here.
    void theRandomSequenceMapsEveryBitPatternIntoTheUnitInterval_data()
    {
        QTest::addColumn<quint64>("bits");
        QTest::addColumn<float>("expected");
        QTest::newRow("all zero") << quint64(0) << 0.0f;
        QTest::newRow("all one") << ~quint64(0) << 1.0f - 0x1p-24f;
        QTest::newRow("top bit") << (quint64(1) << 63) << 0.5f;
        QTest::newRow("below the 24 used") << ((quint64(1) << 40) - 1) << 0.0f;
    }

    void theRandomSequenceMapsEveryBitPatternIntoTheUnitInterval()
    {
        QFETCH(quint64, bits);
        QFETCH(float, expected);
        runtime::RandomGenerator g([bits] { return std::uint64_t(bits); });
        const float r = g.Rnd();
        QCOMPARE(r, expected);
        QVERIFY(r >= 0.0f && r < 1.0f);
    }

    // Every value is a multiple of 2^-24 below 1, so no draw Int(r × n + 1)
    // can reach n + 1; reseeding from the clock gives another sequence.
    void theRandomSequenceStaysInsideTheUnitInterval()
    {
        runtime::RandomGenerator g;
        g.Randomize();
        double sum = 0;
        float largest = 0;
        constexpr int n = 1 << 20;
        for (int i = 0; i < n; ++i) {
            const float r = g.Rnd();
            QVERIFY(r >= 0.0f && r < 1.0f);
            QCOMPARE(std::ldexp(r, 24), std::floor(std::ldexp(r, 24)));
            largest = std::max(largest, r);
            sum += r;
        }
        QVERIFY(std::abs(sum / n - 0.5) < 0.01);
        QVERIFY(largest <= 1.0f - 0x1p-24f);

        runtime::RandomGenerator a, b;
        a.seed(1);
        b.seed(2);
        QVERIFY(a.Rnd() != b.Rnd() || a.Rnd() != b.Rnd());
    }
};

QTEST_MAIN(TestRuntime)
#include "runtime_test.moc"
