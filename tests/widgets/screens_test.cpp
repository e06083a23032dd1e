// The three screens on Qt's offscreen platform: design geometry, keyboard,
// moves between screens, the deal before the first show and the timer.

#include "application.h"
#include "platform.h"
#include "design_common.h"
#include "forms.h"
#include "frmcalcolo.h"
#include "frmistruzioni.h"
#include "frmquadratiinizio.h"
#include "form_widgets.h"
#include "scripted_random.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

using namespace screens;

namespace {

runtime::Form* currentForm()
{
    if (frmquadratiinizio().isLoaded())
        return frmquadratiinizio().form();
    if (frmistruzioni().isLoaded())
        return frmistruzioni().form();
    if (frmcalcolo().isLoaded())
        return frmcalcolo().form();
    return nullptr;
}

// Windows the user can see once the unloaded ones are gone.
int visibleWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->isVisible();
    return n;
}

runtime::Form* showScreen(const QString& name)
{
    if (name == "frmquadratiinizio")
        return &frmquadratiinizio().Show();
    if (name == "frmistruzioni")
        return &frmistruzioni().Show();
    return &frmcalcolo().Show();
}

QString focusName()
{
    QWidget* f = QApplication::focusWidget();
    return f ? f->objectName() : QString();
}

// Records how many boxes hold text at the moment the puzzle window is first shown.
class ShowWatcher : public QObject {
public:
    int boxesFilledAtShow = -1;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && o->objectName() == "frmcalcolo" && boxesFilledAtShow < 0) {
            boxesFilledAtShow = 0;
            for (auto* box : static_cast<QWidget*>(o)->findChildren<QLineEdit*>())
                boxesFilledAtShow += !box->text().isEmpty();
        }
        return false;
    }
};

} // namespace

class TestScreens : public QObject {
    Q_OBJECT

    ScriptedRandom random;

    runtime::Form* activate(runtime::Form* form)
    {
        QApplication::setActiveWindow(form->window());
        if (!QTest::qWaitForWindowActive(form->window()))
            qWarning("window did not become active");
        return form;
    }

    void type(runtime::Form* form, const QStringList& cells)
    {
        for (int c = 1; c <= 9; ++c)
            widget<QLineEdit>(form, QString("txt%1").arg(c))->setText(cells[c - 1]);
    }

private slots:
    void initTestCase()
    {
        runtime::prepareToolkit(program());
        frmcalcolo().makeWith([this] { return std::make_unique<Frmcalcolo>(random); });
    }

    void init() { random = ScriptedRandom(); }

    void cleanup()
    {
        runtime::FormInstanceBase::unloadAll();
        frmquadratiinizio().Unload();
        frmistruzioni().Unload();
        frmcalcolo().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(visibleWindows(), 0);
    }

    void windows_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QColor>("background");
        QTest::newRow("start") << "frmquadratiinizio"
                               << "Cifrella" << QColor(255, 128, 128);
        QTest::newRow("instructions") << "frmistruzioni"
                                      << "Istruzioni" << QColor(255, 192, 128);
        QTest::newRow("puzzle") << "frmcalcolo"
                                << "Cifrella" << QColor(192, 255, 255);
    }

    // Every window: 548 × 350 inside a fixed frame with a close box only,
    // centred on the display before it is first shown.
    void windows()
    {
        QFETCH(QString, screen);
        QFETCH(QString, title);
        QFETCH(QColor, background);
        random.deal(1, 1);
        runtime::Form* form = showScreen(screen);
        QWidget* window = form->window();
        QCOMPARE(window->objectName(), screen);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->size(), QSize(548, 350));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(window->grab().toImage().pixelColor(2, 2), background);
        const QRect display = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(window->frameGeometry().center().x() - display.center().x()) <= 1);
        QVERIFY(qAbs(window->frameGeometry().center().y() - display.center().y()) <= 1);
        QCOMPARE(form->Left(), float((display.width() - 548) * 15) / 2);
    }

    void centredOnThePrimaryDisplay_data()
    {
        QTest::addColumn<QRect>("display"); // device pixels
        QTest::addColumn<QMargins>("frame");
        QTest::newRow("one display, no frame") << QRect(0, 0, 1024, 768) << QMargins();
        QTest::newRow("one display, a frame") << QRect(0, 0, 1024, 768) << QMargins(4, 24, 4, 4);
        QTest::newRow("primary on the right") << QRect(1024, 0, 1024, 768) << QMargins(1, 20, 1, 1);
        QTest::newRow("primary below, odd size") << QRect(0, 768, 1365, 767) << QMargins(1, 20, 1, 1);
        QTest::newRow("larger than the display") << QRect(0, 0, 400, 300) << QMargins(1, 20, 1, 1);
    }

    // The outer rectangle's centre is the primary display's centre, wherever
    // that display lies; a window larger than the display reaches past its
    // top-left edge.
    void centredOnThePrimaryDisplay()
    {
        QFETCH(QRect, display);
        QFETCH(QMargins, frame);
        struct Given : runtime::Platform {
            runtime::Display d;
            QMargins m;
            runtime::Display primaryDisplay() const override { return d; }
            QMargins frameExtents(QWidget*) override { return m; }
        } given;
        given.d = {display, 1.0, display.topLeft()};
        given.m = frame;
        runtime::usePlatform(&given);
        runtime::Form* form = &frmistruzioni().Show();
        runtime::usePlatform(nullptr);
        const QRect client = form->window()->geometry();
        const QRect outer = client.marginsAdded(frame);
        const QPointF centre = QRectF(outer).center(), wanted = QRectF(display).center();
        QVERIFY2(qAbs(centre.x() - wanted.x()) <= 1 && qAbs(centre.y() - wanted.y()) <= 1,
            qPrintable(QString("outer %1,%2 %3x%4").arg(outer.x()).arg(outer.y()).arg(outer.width()).arg(outer.height())));
        QCOMPARE(form->Left(), float((display.width() - outer.width()) * 15) / 2);
        QCOMPARE(form->Top(), float((display.height() - outer.height()) * 15) / 2);
    }

    void geometry_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("rect"); // pixels: twips / 15
        const char* s = "frmquadratiinizio";
        QTest::newRow("start Picture1") << s << "Picture1" << QRect(208, 32, 313, 113);
        QTest::newRow("start Picture2") << s << "Picture2" << QRect(24, 88, 201, 225);
        QTest::newRow("start cmdparti") << s << "cmdparti" << QRect(320, 200, 81, 57);
        QTest::newRow("start cmdesci") << s << "cmdesci" << QRect(480, 312, 57, 25);
        QTest::newRow("start cmdistruzioni") << s << "cmdistruzioni" << QRect(400, 312, 65, 25);
        QTest::newRow("start Image1") << s << "Image1" << QRect(8, 328, 82, 11);
        s = "frmistruzioni";
        QTest::newRow("instr lblistruzioni") << s << "lblistruzioni" << QRect(24, 72, 249, 225);
        QTest::newRow("instr Picture1") << s << "Picture1" << QRect(160, 16, 249, 33);
        QTest::newRow("instr Picture2") << s << "Picture2" << QRect(296, 72, 233, 225);
        QTest::newRow("instr cmdok") << s << "cmdok" << QRect(480, 312, 57, 25);
        s = "frmcalcolo";
        for (int c = 1; c <= 9; ++c)
            QTest::addRow("puzzle txt%d", c)
                << s << QString("txt%1").arg(c) << QRect(312 + 48 * ((c - 1) % 3), 120 + 48 * ((c - 1) / 3), 41, 41);
        QTest::newRow("puzzle cmdconferma") << s << "cmdconferma" << QRect(472, 176, 65, 25);
        QTest::newRow("puzzle cmdfine") << s << "cmdfine" << QRect(488, 312, 49, 25);
        QTest::newRow("puzzle Picture1") << s << "Picture1" << QRect(24, 56, 193, 249);
        QTest::newRow("puzzle lblcompleta") << s << "lblcompleta" << QRect(200, 16, 313, 33);
        QTest::newRow("puzzle Label1") << s << "Label1" << QRect(232, 64, 89, 25);
        QTest::newRow("puzzle lblchiave") << s << "lblchiave" << QRect(320, 64, 41, 25);
        QTest::newRow("puzzle lblmessaggio") << s << "lblmessaggio" << QRect(288, 280, 185, 33);
        QTest::newRow("puzzle Shape1") << s << "Shape1" << QRect(304, 112, 153, 153);
    }

    void geometry()
    {
        QFETCH(QString, screen);
        QFETCH(QString, control);
        QFETCH(QRect, rect);
        random.deal(1, 1);
        runtime::Form* form = showScreen(screen);
        auto* w = widget(form, control);
        QVERIFY2(w, qPrintable(control));
        QCOMPARE(w->geometry(), rect);
    }

    void tabOrder_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("start") << "frmquadratiinizio"
                               << QStringList{"Picture1", "Picture2", "cmdparti", "cmdesci", "cmdistruzioni"};
        QTest::newRow("instructions") << "frmistruzioni" << QStringList{"Picture1", "Picture2", "cmdok"};
        QTest::newRow("puzzle") << "frmcalcolo"
                                << QStringList{"txt1", "txt2", "txt3", "txt4", "txt5", "txt6", "txt7", "txt8", "txt9",
                                       "cmdconferma", "cmdfine", "Picture1"};
    }

    // Focus starts on the lowest tab index; Tab walks the order and wraps,
    // Shift+Tab walks it back. Labels, the shape and the image never take it.
    void tabOrder()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, order);
        random.deal(1, 1);
        runtime::Form* form = activate(showScreen(screen));
        QCOMPARE(focusName(), order.first());
        for (int i = 1; i <= order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusName(), order[i % order.size()]);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focusName(), order.last());
        Q_UNUSED(form);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("focus"); // where the focus is when the key is pressed
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("result"); // the screen loaded afterwards, "" when the program ended
        QTest::newRow("start Esc") << "frmquadratiinizio"
                                   << "cmdistruzioni" << int(Qt::Key_Escape) << 0 << "";
        QTest::newRow("start Enter on a picture presses nothing")
            << "frmquadratiinizio"
            << "Picture2" << int(Qt::Key_Return) << 0 << "frmquadratiinizio";
        QTest::newRow("start Enter on cmdistruzioni") << "frmquadratiinizio"
                                                      << "cmdistruzioni" << int(Qt::Key_Return) << 0 << "frmistruzioni";
        QTest::newRow("start Space on cmdparti") << "frmquadratiinizio"
                                                 << "cmdparti" << int(Qt::Key_Space) << 0 << "frmcalcolo";
        QTest::newRow("instructions Esc") << "frmistruzioni"
                                          << "Picture1" << int(Qt::Key_Escape) << 0 << "frmquadratiinizio";
        QTest::newRow("puzzle Esc in a box") << "frmcalcolo"
                                             << "txt9" << int(Qt::Key_Escape) << 0 << "frmquadratiinizio";
        QTest::newRow("puzzle Enter in a box checks nothing") << "frmcalcolo"
                                                              << "txt2" << int(Qt::Key_Return) << 0 << "frmcalcolo";
    }

    // Esc for the cancel button, and no default button: Enter presses only
    // the button that has the focus. After every move exactly one window is
    // left.
    void keys()
    {
        QFETCH(QString, screen);
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, result);
        random.deal(1, 1);
        random.deal(2, 2);
        runtime::Form* form = activate(showScreen(screen));
        widget(form, focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        runtime::Form* now = currentForm();
        QCOMPARE(now ? now->window()->objectName() : QString(), result);
        QCOMPARE(visibleWindows(), result.isEmpty() ? 0 : 1);
        QCOMPARE(runtime::FormInstanceBase::loadedCount(), result.isEmpty() ? 0 : 1);
        if (now && now->name() == "frmcalcolo")
            QCOMPARE(widget<QLabel>(now, "lblmessaggio")->text(), QString());
    }

    void accessKeys_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("Esci") << "frmquadratiinizio"
                              << "cmdesci"
                              << "&Esci" << QKeySequence("Alt+E");
        QTest::newRow("Istruzioni") << "frmquadratiinizio"
                                    << "cmdistruzioni"
                                    << "&Istruzioni" << QKeySequence("Alt+I");
        QTest::newRow("OK") << "frmistruzioni"
                            << "cmdok"
                            << "&OK" << QKeySequence("Alt+O");
        QTest::newRow("Conferma") << "frmcalcolo"
                                  << "cmdconferma"
                                  << "&Conferma" << QKeySequence("Alt+C");
        QTest::newRow("Fine") << "frmcalcolo"
                              << "cmdfine"
                              << "&Fine" << QKeySequence("Alt+F");
        QTest::newRow("picture button") << "frmquadratiinizio"
                                        << "cmdparti"
                                        << "" << QKeySequence();
    }

    // The access keys themselves are pressed for real in the end-to-end run;
    // here: each caption carries its key and the toolkit has it registered.
    void accessKeys()
    {
        QFETCH(QString, screen);
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QKeySequence, key);
        random.deal(1, 1);
        auto* b = widget<QPushButton>(showScreen(screen), button);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->shortcut(), key);
        QVERIFY(!b->isDefault());
    }

    void closingAnyWindowEndsTheProgram_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::newRow("start") << "frmquadratiinizio";
        QTest::newRow("instructions") << "frmistruzioni";
        QTest::newRow("puzzle") << "frmcalcolo";
    }

    void closingAnyWindowEndsTheProgram()
    {
        QFETCH(QString, screen);
        random.deal(1, 1);
        QVERIFY(showScreen(screen)->window()->close());
        QCOMPARE(runtime::FormInstanceBase::loadedCount(), 0);
        QCOMPARE(visibleWindows(), 0);
        QVERIFY(!frmquadratiinizio().isLoaded());
    }

    // Every move loads the target afresh, so every visit to the puzzle deals
    // a new exercise and nothing of the last visit shows.
    void everyMoveLeavesOneFreshWindow()
    {
        random.deal(5, 5);
        random.deal(8, 5);
        auto* start = &frmquadratiinizio().Show();
        widget<QPushButton>(start, "cmdistruzioni")->click();
        QCOMPARE(visibleWindows(), 1);
        widget<QPushButton>(frmistruzioni().form(), "cmdok")->click();
        QCOMPARE(visibleWindows(), 1);
        widget<QPushButton>(frmquadratiinizio().form(), "cmdparti")->click();
        QCOMPARE(visibleWindows(), 1);
        Frmcalcolo* puzzle = frmcalcolo().form();
        QCOMPARE(widget<QLineEdit>(puzzle, "txt7")->text(), "14");
        widget<QLineEdit>(puzzle, "txt2")->setText("99");
        widget<QPushButton>(puzzle, "cmdconferma")->click();
        QVERIFY(timerOf(puzzle)->isActive());
        widget<QPushButton>(puzzle, "cmdfine")->click();
        QCOMPARE(visibleWindows(), 1);
        QVERIFY(frmquadratiinizio().isLoaded());
        widget<QPushButton>(frmquadratiinizio().form(), "cmdparti")->click();
        puzzle = frmcalcolo().form();
        QCOMPARE(widget<QLineEdit>(puzzle, "txt2")->text(), QString());
        QCOMPARE(widget<QLineEdit>(puzzle, "txt7")->text(), "10");
        QCOMPARE(widget<QLabel>(puzzle, "lblchiave")->text(), "24");
        QCOMPARE(widget<QLabel>(puzzle, "lblmessaggio")->text(), QString());
        QVERIFY(!timerOf(puzzle)->isActive());
        QCOMPARE(random.reseeds, 2); // one reseed per load
    }

    void thePuzzleIsDealtBeforeItsWindowIsFirstShown()
    {
        ShowWatcher watcher;
        qApp->installEventFilter(&watcher);
        random.deal(22, 7);
        widget<QPushButton>(&frmquadratiinizio().Show(), "cmdparti")->click();
        qApp->removeEventFilter(&watcher);
        QCOMPARE(watcher.boxesFilledAtShow, 3);
    }

    // A child types the grid and presses Conferma: praise, the next deal and the
    // focus back in the first box.
    void aRightGridTypedByKeyboardDealsTheNextExercise()
    {
        random.deal(1, 1);
        random.deal(18, 4);
        runtime::Form* form = activate(&frmcalcolo().Show());
        const char* answers[] = {"", "9", "", "7", "", "3", "6", "1", "8"};
        for (const char* a : answers) {
            QTest::keyClicks(QApplication::focusWidget(), a);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(focusName(), "cmdconferma");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(widget<QLabel>(form, "lblmessaggio")->text(), "Bravo!");
        QCOMPARE(widget<QLabel>(form, "lblchiave")->text(), "12");
        QStringList boxes;
        for (int c = 1; c <= 9; ++c)
            boxes << widget<QLineEdit>(form, QString("txt%1").arg(c))->text();
        QCOMPARE(boxes, (QStringList{"3", "", "1", "", "", "", "7", "", ""}));
        QCOMPARE(focusName(), "txt1");
    }

    void aWrongGridEmptiesOnlyTheWrongBoxes()
    {
        random.deal(1, 1);
        runtime::Form* form = &frmcalcolo().Show();
        type(form, {"2", "9", "4", "7", "5", "3", "6", "01", "8"});
        widget<QPushButton>(form, "cmdconferma")->click();
        QCOMPARE(widget<QLabel>(form, "lblmessaggio")->text(), "Attento... Correggiti!");
        QCOMPARE(widget<QLineEdit>(form, "txt8")->text(), QString());
        QCOMPARE(widget<QLineEdit>(form, "txt9")->text(), "8");
        QCOMPARE(widget<QLabel>(form, "lblchiave")->text(), "15");
    }

    void boxesTakeAnyTextOfAnyLength()
    {
        random.deal(1, 1);
        auto* box = widget<QLineEdit>(&frmcalcolo().Show(), "txt4");
        const QString longText(200000, QChar(u'7'));
        box->setText(longText);
        QCOMPARE(box->text(), longText);
        box->clear();
        QTest::keyClicks(box, "-3 abc");
        QCOMPARE(box->text(), "-3 abc");
    }

    // The message of the first check stays a full interval; a later check
    // restarts the count, so its message also stays a full interval.
    void theTimerWipesTheMessageThreeSecondsAfterEachCheck()
    {
        random.deal(1, 1);
        Frmcalcolo* form = &frmcalcolo().Show();
        auto* message = widget<QLabel>(form, "lblmessaggio");
        auto* conferma = widget<QPushButton>(form, "cmdconferma");
        QVERIFY(!timerOf(form)->isActive());
        QCOMPARE(timerOf(form)->interval(), 3000);
        QCOMPARE(message->text(), QString());

        QElapsedTimer clock;
        conferma->click();
        clock.start();
        QCOMPARE(message->text(), "Attento... Correggiti!");
        QTRY_VERIFY_WITH_TIMEOUT(message->text().isEmpty(), 4000);
        QVERIFY2(clock.elapsed() >= 2950, qPrintable(QString::number(clock.elapsed())));

        QTest::qWait(1500);
        conferma->click();
        clock.restart();
        QTRY_VERIFY_WITH_TIMEOUT(message->text().isEmpty(), 4000);
        QVERIFY2(clock.elapsed() >= 2950, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(timerOf(form)->isActive()); // the tick never disables it
    }

    void fontsAndColours_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("face");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<QColor>("text");
        QTest::newRow("txt5") << "txt5"
                              << "MS Sans Serif" << 18 << false << false << QColor();
        QTest::newRow("lblcompleta") << "lblcompleta"
                                     << "Comic Sans MS" << 19 << true << false << QColor(0, 0, 255);
        QTest::newRow("Label1") << "Label1"
                                << "Comic Sans MS" << 16 << false << false << QColor(0, 0, 0);
        QTest::newRow("lblchiave") << "lblchiave"
                                   << "Comic Sans MS" << 16 << false << false << QColor();
        QTest::newRow("lblmessaggio") << "lblmessaggio"
                                      << "Comic Sans MS" << 19 << false << true << QColor(255, 0, 0);
        QTest::newRow("cmdconferma") << "cmdconferma"
                                     << "MS Sans Serif" << 11 << false << false << QColor();
    }

    void fontsAndColours()
    {
        QFETCH(QString, control);
        QFETCH(QString, face);
        QFETCH(int, pixelSize);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(QColor, text);
        random.deal(1, 1);
        auto* w = widget(&frmcalcolo().Show(), control);
        // The designed face where the desktop has it, otherwise the face
        // that stands in for it, asked for by its own name.
        const QString drawn = QFontDatabase::families().contains(face) ? face
            : face == "Comic Sans MS"                                  ? "Comic Neue"
                                                                       : "Liberation Sans";
        QCOMPARE(w->font().family(), drawn);
        QCOMPARE(QFontInfo(w->font()).family(), drawn);
        QCOMPARE(w->font().pixelSize(), pixelSize);
        QCOMPARE(w->font().bold(), bold);
        QCOMPARE(w->font().italic(), italic);
        if (text.isValid())
            QCOMPARE(w->palette().color(QPalette::WindowText), text);
        if (qobject_cast<QLabel*>(w))
            QCOMPARE(w->palette().color(w->backgroundRole()), QColor(192, 255, 255));
    }

    void theKeyIsFramedAndTheBoxesCentred()
    {
        random.deal(1, 1);
        runtime::Form* form = &frmcalcolo().Show();
        auto* key = widget<QLabel>(form, "lblchiave");
        QCOMPARE(key->frameShadow(), QFrame::Sunken);
        QVERIFY(key->frameShape() != QFrame::NoFrame);
        QVERIFY(key->alignment() & Qt::AlignHCenter);
        QVERIFY(widget<QLineEdit>(form, "txt1")->alignment() & Qt::AlignHCenter);
        QVERIFY(widget<QLabel>(form, "lblcompleta")->alignment() & Qt::AlignLeft);
    }

    // The named face may be missing; its substitute must still hold the whole
    // instruction text inside the label.
    void theInstructionTextStaysWholeInsideItsLabel()
    {
        auto* label = widget<QLabel>(&frmistruzioni().Show(), "lblistruzioni");
        QCOMPARE(label->text().size(), 350);
        QVERIFY(label->text().startsWith("Nel quadrato proposto a fianco"));
        QVERIFY(label->text().endsWith("e... BUON DIVERTIMENTO!!"));
        QVERIFY(label->wordWrap());
        if (!QFontDatabase::families().contains("Comic Sans MS"))
            QCOMPARE(QFontInfo(label->font()).family(), "Comic Neue");
        const QRect needed = QFontMetrics(label->font())
                                 .boundingRect(QRect(0, 0, label->contentsRect().width(), 10000),
                                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label->text());
        QVERIFY2(needed.height() <= label->contentsRect().height(), qPrintable(QString::number(needed.height())));
        QVERIFY(needed.width() <= label->contentsRect().width());
    }

    // 500 moves between the screens and 500 checks: one window throughout,
    // and memory settles (under the sanitizers LeakSanitizer checks the end).
    void soakOfMovesAndChecksKeepsOneWindowAndSteadyMemory()
    {
        auto rssKb = [] {
            QFile status("/proc/self/status");
            status.open(QIODevice::ReadOnly);
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmRSS:"))
                    return line.mid(6).trimmed().split(' ').value(0).toLong();
            return -1L;
        };
        QVERIFY2(rssKb() > 0, "resident memory cannot be read from /proc/self/status");
        [[maybe_unused]] long after50 = 0; // read only where memory is measured
        frmquadratiinizio().Show();
        for (int i = 1; i <= 500; ++i) {
            random.deal(1 + i % 27, 1 + i % 9);
            random.deal(1 + (i * 7) % 27, 1 + (i * 5) % 9);
            widget<QPushButton>(frmquadratiinizio().form(), i % 2 ? "cmdparti" : "cmdistruzioni")->click();
            QCOMPARE(visibleWindows(), 1);
            if (i % 2) {
                Frmcalcolo* puzzle = frmcalcolo().form();
                auto* conferma = widget<QPushButton>(puzzle, "cmdconferma");
                conferma->click(); // wrong: six empty boxes
                const auto& s = puzzle->calcolo().state();
                const int n = int(s.numero.number());
                for (int c = 1; c <= 9; ++c)
                    widget<QLineEdit>(puzzle, QString("txt%1").arg(c))
                        ->setText(s.tabella[c][n].text().c_str());
                conferma->click(); // right: the next deal
                QCOMPARE(widget<QLabel>(puzzle, "lblmessaggio")->text(), "Bravo!");
                widget<QPushButton>(puzzle, "cmdfine")->click();
            } else {
                widget<QPushButton>(frmistruzioni().form(), "cmdok")->click();
            }
            QCOMPARE(visibleWindows(), 1);
            if (i == 50)
                after50 = rssKb();
        }
#if !defined(__SANITIZE_ADDRESS__)
        const long growth = rssKb() - after50;
        QVERIFY2(growth < 2048, qPrintable(QString("resident memory grew by %1 kB").arg(growth)));
#endif
    }

    // What a screen reader is told each control is and is called.
    void accessibleNamesAndRoles_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("start window") << "frmquadratiinizio" << "" << "Cifrella" << int(QAccessible::Window);
        QTest::newRow("wizard") << "frmquadratiinizio" << "Picture2" << "Un piccolo mago con la bacchetta"
                                << int(QAccessible::Graphic);
        QTest::newRow("picture button") << "frmquadratiinizio" << "cmdparti" << "Inizia l'esercizio"
                                        << int(QAccessible::Button);
        QTest::newRow("handwriting") << "frmquadratiinizio" << "Image1" << "Una riga scritta a mano"
                                     << int(QAccessible::Graphic);
        QTest::newRow("example square") << "frmistruzioni" << "Picture2"
                                        << "Quadrato magico di esempio: 1 8 3, 6 4 2, 5 0 7; chiave 12"
                                        << int(QAccessible::Graphic);
        QTest::newRow("first box") << "frmcalcolo" << "txt1" << "Riga 1, colonna 1" << int(QAccessible::EditableText);
        QTest::newRow("middle box") << "frmcalcolo" << "txt5" << "Riga 2, colonna 2" << int(QAccessible::EditableText);
        QTest::newRow("last box") << "frmcalcolo" << "txt9" << "Riga 3, colonna 3" << int(QAccessible::EditableText);
        QTest::newRow("confirm") << "frmcalcolo" << "cmdconferma" << "Conferma" << int(QAccessible::Button);
    }

    void accessibleNamesAndRoles()
    {
        QFETCH(QString, screen);
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        random.deal(1, 1);
        runtime::Form* form = showScreen(screen);
        QObject* object = control.isEmpty() ? static_cast<QObject*>(form->window()) : widget(form, control);
        QVERIFY(object);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(object);
        QVERIFY(a);
        QCOMPARE(a->text(QAccessible::Name).remove(QLatin1Char('&')), name);
        QCOMPARE(int(a->role()), role);
    }

    // A window is described by its summary labels, read out with its name.
    void windowsAreDescribedByTheirSummaryLines()
    {
        random.deal(1, 1);
        runtime::Form* puzzle = &frmcalcolo().Show();
        QCOMPARE(QAccessible::queryAccessibleInterface(puzzle->window())->text(QAccessible::Description),
            "Completa questo quadrato magico. La chiave è: 15");
        frmcalcolo().Unload();
        const QString instructions
            = QAccessible::queryAccessibleInterface(frmistruzioni().Show().window())->text(QAccessible::Description);
        QVERIFY(instructions.startsWith("Nel quadrato proposto"));
        QCOMPARE(instructions.size(), 350);
        QCOMPARE(QAccessible::queryAccessibleInterface(frmquadratiinizio().Show().window())
                     ->text(QAccessible::Description),
            QString());
    }

    // A box's text is one run of text, every character of it; the selection
    // Tab makes of it stays on screen but is not told, one the child makes is.
    void aBoxTellsItsWholeTextAndNotTheSelectionMadeByTab()
    {
        random.deal(2, 1); // boxes 1, 3 and 5 hold 7, 11 and 13
        runtime::Form* form = activate(&frmcalcolo().Show());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        auto* box = widget<QLineEdit>(form, "txt3");
        QCOMPARE(focusName(), "txt3");
        QCOMPARE(box->selectedText(), "11");
        QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(box)->textInterface();
        QVERIFY(text);
        QCOMPARE(text->selectionCount(), 0);
        int start = -1, end = -1;
        QCOMPARE(text->attributes(1, &start, &end), QString());
        QCOMPARE(start, 0);
        QCOMPARE(end, 2);
        QCOMPARE(text->text(0, text->characterCount()), "11");
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(text->selectionCount(), 1);
        text->selection(0, &start, &end);
        QCOMPARE(start, 0);
        QCOMPARE(end, 1);
    }

    // The message is named by its text and, after "Bravo!", described by the
    // new key, even the same number: with Qt 6.8 plain text the toolkit
    // announces, before it a notification in a bar of its own.
    void theMessageIsANotificationDescribedByANewKey()
    {
        random.deal(1, 1);
        random.deal(15, 1); // another square with the key 15
        runtime::Form* form = &frmcalcolo().Show();
        QAccessibleInterface* message = QAccessible::queryAccessibleInterface(widget(form, "lblmessaggio"));
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QCOMPARE(message->role(), QAccessible::StaticText);
        QCOMPARE(message->parent()->object(), form->window());
#else
        QCOMPARE(message->role(), QAccessible::Notification);
        QCOMPARE(message->parent()->role(), QAccessible::StatusBar);
        QCOMPARE(message->parent()->child(0), message);
        QCOMPARE(message->parent()->parent()->object(), form->window());
#endif
        type(form, {"2", "9", "4", "7", "5", "3", "6", "1", "8"});
        widget<QPushButton>(form, "cmdconferma")->click();
        QCoreApplication::processEvents();
        QCOMPARE(message->text(QAccessible::Name), "Bravo!");
        QCOMPARE(message->text(QAccessible::Description), "La chiave è: 15");
        widget<QPushButton>(form, "cmdconferma")->click();
        QCoreApplication::processEvents();
        QCOMPARE(message->text(QAccessible::Name), "Attento... Correggiti!");
        QCOMPARE(message->text(QAccessible::Description), QString());
    }

    void thePictureButtonHasNoCaptionAndPicturesNoFocusMark()
    {
        auto* start = &frmquadratiinizio().Show();
        QVERIFY(widget<QPushButton>(start, "cmdparti")->text().isEmpty());
        QVERIFY(!widget<QPushButton>(start, "cmdparti")->accessibleName().isEmpty());
        QCOMPARE(widget(start, "Image1")->focusPolicy(), Qt::NoFocus);
    }
};

QTEST_MAIN(TestScreens)
#include "screens_test.moc"
