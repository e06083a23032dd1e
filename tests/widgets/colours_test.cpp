// The three screens under a light, a dark and a high-contrast desktop
// palette: the design's own colours stay as designed, and every colour the
// design leaves to the desktop stays readable on what it is drawn on.

#include "forms.h"
#include "form_widgets.h"
#include "frmcalcolo.h"
#include "frmistruzioni.h"
#include "frmquadratiinizio.h"
#include "scripted_random.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>

#include <cmath>

using namespace screens;

namespace {

double luminance(QColor c)
{
    auto f = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * f(c.red()) + 0.7152 * f(c.green()) + 0.0722 * f(c.blue());
}

double contrast(QColor a, QColor b)
{
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// qt6ct's "darker" scheme, as the desktop hands it to every program.
QPalette darker()
{
    QPalette p;
    const std::pair<QPalette::ColorRole, QRgb> roles[] = {{QPalette::WindowText, 0xffffff},
        {QPalette::Button, 0x424245}, {QPalette::Light, 0x979797}, {QPalette::Midlight, 0x5e5c5b},
        {QPalette::Dark, 0x302f2e}, {QPalette::Mid, 0x4a4947}, {QPalette::Text, 0xffffff},
        {QPalette::ButtonText, 0xffffff}, {QPalette::Base, 0x3d3d3d}, {QPalette::Window, 0x222020},
        {QPalette::Highlight, 0x12608a}, {QPalette::HighlightedText, 0xf9f9f9}};
    for (auto [role, rgb] : roles)
        p.setColor(role, QColor(rgb));
    return p;
}

QPalette highContrast()
{
    QPalette p(Qt::white, Qt::black, Qt::white, Qt::darkGray, Qt::gray, Qt::white, Qt::white, Qt::black, Qt::black);
    p.setColor(QPalette::Highlight, Qt::yellow);
    p.setColor(QPalette::HighlightedText, Qt::black);
    return p;
}

// The colours as designed; "" where the design leaves a colour to the desktop.
struct Designed {
    const char* control;
    QColor text;
    QColor background;
};

} // namespace

class TestColours : public QObject {
    Q_OBJECT
    ScriptedRandom random;
    QPalette original;

private slots:
    void initTestCase()
    {
        runtime::prepareToolkit(program());
        frmcalcolo().makeWith([this] { return std::make_unique<Frmcalcolo>(random); });
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        original = QApplication::palette();
    }

    void cleanup()
    {
        runtime::FormInstanceBase::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::setPalette(original);
    }

    void everyColourIsReadable_data()
    {
        QTest::addColumn<QPalette>("desktop");
        QTest::addColumn<bool>("light");
        QTest::newRow("light") << QApplication::style()->standardPalette() << true;
        QTest::newRow("dark") << darker() << false;
        QTest::newRow("high contrast") << highContrast() << false;
    }

    void everyColourIsReadable()
    {
        QFETCH(QPalette, desktop);
        QFETCH(bool, light);
        QApplication::setPalette(desktop);
        const QColor cyan(192, 255, 255), orange(255, 192, 128), none;
        const Designed designed[] = {{"lblcompleta", QColor(0, 0, 255), cyan}, {"Label1", QColor(0, 0, 0), cyan},
            {"lblchiave", none, cyan}, {"lblmessaggio", QColor(255, 0, 0), cyan}, {"lblistruzioni", none, orange}};
        random.deal(1, 1);
        random.deal(1, 1);
        for (runtime::Form* form : {static_cast<runtime::Form*>(&frmistruzioni().Show()),
                 static_cast<runtime::Form*>(&frmcalcolo().Show())}) {
            for (const Designed& d : designed) {
                auto* label = form->window()->findChild<QLabel*>(d.control);
                if (!label)
                    continue;
                const QColor text = label->palette().color(QPalette::WindowText);
                const QColor ground = label->palette().color(label->backgroundRole());
                QCOMPARE(ground, d.background);
                if (d.text.isValid())
                    QCOMPARE(text, d.text);
                else if (light)
                    QCOMPARE(text, desktop.color(QPalette::WindowText));
                else
                    QVERIFY2(contrast(text, ground) >= 4.5, d.control);
            }
            for (auto* box : form->window()->findChildren<QLineEdit*>()) {
                const QPalette p = box->palette();
                QVERIFY(contrast(p.color(QPalette::Text), p.color(QPalette::Base)) >= 4.5);
                if (light)
                    QCOMPARE(p.color(QPalette::Base), desktop.color(QPalette::Base));
            }
            for (auto* button : form->window()->findChildren<QPushButton*>()) {
                const QPalette p = button->palette();
                QVERIFY(contrast(p.color(QPalette::ButtonText), p.color(QPalette::Button)) >= 4.5);
            }
        }

        // The board's outline, read from its pixels, against the screen
        // around it and the white board within.
        auto* board = widget(frmcalcolo().form(), "Shape1");
        const QImage pixels = board->grab().toImage();
        const QColor outline = pixels.pixelColor(0, pixels.height() / 2);
        QCOMPARE(pixels.pixelColor(pixels.width() / 2, pixels.height() / 2), QColor(255, 255, 255));
        QVERIFY(contrast(outline, cyan) >= 3.0);
        QVERIFY(contrast(outline, Qt::white) >= 3.0);
        if (light)
            QCOMPARE(outline, desktop.color(QPalette::WindowText));
    }

    // A desktop that changes its scheme while a screen is open is followed.
    void aSchemeChangedWhileShownIsFollowed()
    {
        random.deal(1, 1);
        auto* key = widget<QLabel>(&frmcalcolo().Show(), "lblchiave");
        QApplication::setPalette(darker());
        QTRY_COMPARE(key->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QPalette readableDark = darker();
        readableDark.setColor(QPalette::WindowText, QColor(0, 0, 96));
        QApplication::setPalette(readableDark);
        QTRY_COMPARE(key->palette().color(QPalette::WindowText), QColor(0, 0, 96));
    }
};

QTEST_MAIN(TestColours)
#include "colours_test.moc"
