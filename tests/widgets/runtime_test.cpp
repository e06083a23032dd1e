// The runtime layer on its own: the toolkit's strings and locale, the
// run-time error report's wording, the random sequence.

#include "application.h"
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
