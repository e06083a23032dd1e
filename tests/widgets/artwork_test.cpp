// The pictures and the icon: natural sizes, colours, what the drawings may
// contain, the example square's numbers, and how the screens show them.

#include "application.h"
#include "design_common.h"
#include "forms.h"
#include "frmcalcolo.h"
#include "frmistruzioni.h"
#include "frmquadratiinizio.h"
#include "form_widgets.h"
#include "picture.h"
#include "scripted_random.h"
#include "svg_render.h"

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

#include <array>

using namespace screens;

namespace {

struct SvgFacts {
    QSizeF size; // width and height attributes, pixels
    QSizeF viewBox; // twips
    QSet<QString> colours;
    QStringList elements;
    QMap<QString, QString> groupIds;
    bool hasStroke = false;
};

SvgFacts read(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(resource));
    SvgFacts facts;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        const QString name = xml.name().toString();
        facts.elements << name;
        if (name == "svg") {
            facts.size = QSizeF(a.value("width").toDouble(), a.value("height").toDouble());
            const auto v = a.value("viewBox").toString().split(' ');
            facts.viewBox = QSizeF(v.value(2).toDouble(), v.value(3).toDouble());
        }
        for (const char* paint : {"fill", "stroke"}) {
            const QString c = a.value(paint).toString().toLower();
            if (!c.isEmpty() && c != "none")
                facts.colours << c;
        }
        if (a.hasAttribute("stroke") && a.value("stroke") != QLatin1String("none"))
            facts.hasStroke = true;
        if (name == "g" && a.hasAttribute("id"))
            facts.groupIds[a.value("id").toString()] = a.value("id").toString();
    }
    if (xml.hasError())
        qFatal("%s: %s", qPrintable(resource), qPrintable(xml.errorString()));
    return facts;
}

QSet<QString> hex(std::initializer_list<std::array<int, 3>> rgbs)
{
    QSet<QString> out;
    for (const auto& c : rgbs)
        out << QColor(c[0], c[1], c[2]).name();
    return out;
}

} // namespace

class TestArtwork : public QObject {
    Q_OBJECT
    ScriptedRandom random;

private slots:
    void initTestCase()
    {
        runtime::prepareToolkit(program());
        frmcalcolo().makeWith([this] { return std::make_unique<Frmcalcolo>(random); });
    }

    void cleanup()
    {
        runtime::FormInstanceBase::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("twips");
        QTest::addColumn<QSet<QString>>("palette");
        QTest::addColumn<bool>("stroked");
        const auto nearBlack = std::array{31, 26, 23};
        QTest::newRow("arrow") << "arrow.svg" << QSize(592, 539) << hex({{218, 37, 29}, nearBlack}) << true;
        QTest::newRow("wizard with wand")
            << "wizard_wand.svg" << QSize(1822, 1850)
            << hex({{19, 21, 22}, {243, 202, 165}, {59, 87, 154}, {54, 64, 136}, {126, 124, 178}, {245, 223, 7},
                   {237, 236, 165}, {139, 101, 91}, {147, 101, 44}, {177, 130, 45}, {159, 123, 46}, {185, 138, 44},
                   {216, 64, 38}, {255, 255, 255}})
            << false;
        QTest::newRow("title") << "title.svg" << QSize(1892, 624) << hex({{255, 245, 0}}) << false;
        QTest::newRow("handwriting") << "handwriting.svg" << QSize(1234, 161) << hex({nearBlack}) << false;
        QTest::newRow("example square") << "example_square.svg" << QSize(1524, 1522)
                                        << hex({{255, 255, 255}, nearBlack, {218, 37, 29}}) << false;
        QTest::newRow("istruzioni") << "istruzioni.svg" << QSize(2101, 269) << hex({{0, 147, 221}}) << false;
        QTest::newRow("wizard casting a spell")
            << "wizard_spell.svg" << QSize(1570, 1777)
            << hex({{19, 21, 22}, {243, 202, 165}, {230, 235, 84}, {239, 208, 0}, {59, 87, 154}, {45, 51, 128},
                   {139, 101, 91}, {159, 129, 46}, {216, 64, 38}, {255, 255, 255}})
            << false;
    }

    // Natural size as designed (view box in twips, size in pixels = twips / 15),
    // only the picture's own colours, only filled shapes, no text or bitmaps.
    void pictures()
    {
        QFETCH(QString, file);
        QFETCH(QSize, twips);
        QFETCH(QSet<QString>, palette);
        QFETCH(bool, stroked);
        const SvgFacts facts = read(":/pictures/" + file);
        QCOMPARE(facts.viewBox, QSizeF(twips));
        QVERIFY(qAbs(facts.size.width() - twips.width() / 15.0) < 0.001);
        QVERIFY(qAbs(facts.size.height() - twips.height() / 15.0) < 0.001);
        QVERIFY2(palette.contains(facts.colours), qPrintable(QStringList(facts.colours.values()).join(' ')));
        QCOMPARE(facts.hasStroke, stroked);
        const QSet<QString> allowed{"svg", "g", "path", "polygon", "rect", "circle", "ellipse"};
        for (const QString& e : facts.elements)
            QVERIFY2(allowed.contains(e), qPrintable(e));
    }

    void thePicturesShownAreTheirVectorRenders_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qreal>("ratio");
        for (const char* name :
            {"arrow", "wizard_wand", "title", "handwriting", "example_square", "istruzioni", "wizard_spell"})
            for (qreal ratio : {1.0, 2.0, 1.5})
                QTest::addRow("%s at %g", name, ratio) << QString(name) << ratio;
    }

    // Pixel for pixel the drawing rendered from its vector source at its
    // natural size: at ratios 1 and 2 as the build rendered it, at any other
    // ratio drawn by the program itself.
    void thePicturesShownAreTheirVectorRenders()
    {
        QFETCH(QString, name);
        QFETCH(qreal, ratio);
        const QString svg = ":/pictures/" + name + ".svg";
        const QImage shown = runtime::Picture(svg, ratio).image(ratio);
        const QImage drawn = renderSvg(svg, ratio);
        QCOMPARE(shown.size(), drawn.size());
        QCOMPARE(shown.devicePixelRatio(), ratio);
        QVERIFY(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied) == drawn);
    }

    // The instructions speak of this square and its key 12.
    void theExampleSquareShows183_642_507AndEveryLineAddsUpTo12()
    {
        const SvgFacts facts = read(":/pictures/example_square.svg");
        int grid[3][3];
        int found = 0;
        static const QRegularExpression id("^cell([1-3])([1-3])-([0-9])$");
        for (const QString& g : facts.groupIds) {
            const auto m = id.match(g);
            if (!m.hasMatch())
                continue;
            grid[m.captured(1).toInt() - 1][m.captured(2).toInt() - 1] = m.captured(3).toInt();
            ++found;
        }
        QCOMPARE(found, 9);
        const int expected[3][3] = {{1, 8, 3}, {6, 4, 2}, {5, 0, 7}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(grid[r][c], expected[r][c]);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(grid[i][0] + grid[i][1] + grid[i][2], 12);
            QCOMPARE(grid[0][i] + grid[1][i] + grid[2][i], 12);
        }
        QCOMPARE(grid[0][0] + grid[1][1] + grid[2][2], 12);
        QCOMPARE(grid[0][2] + grid[1][1] + grid[2][0], 12);
    }

    void theIconIsOne32x32SixteenColourImageWithAMask()
    {
        QFile f(":/icon/cifrella.ico");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray ico = f.readAll();
        auto u16 = [&](int at) { return quint8(ico[at]) | quint8(ico[at + 1]) << 8; };
        auto u32 = [&](int at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
        QCOMPARE(u16(2), 1); // an icon
        QCOMPARE(u16(4), 1); // one image
        QCOMPARE(quint8(ico[6]), 32); // width
        QCOMPARE(quint8(ico[7]), 32); // height
        QCOMPARE(quint8(ico[8]), 16); // colours
        QCOMPARE(u16(12), 4); // bits per pixel
        const int dib = int(u32(18));
        QCOMPARE(u32(dib + 4), 32u); // DIB width
        QCOMPARE(u32(dib + 8), 64u); // colour bitmap and mask
        QCOMPARE(u16(dib + 14), 4);
        const int palette = dib + 40, pixels = palette + 16 * 4, mask = pixels + 32 * 16;
        QCOMPARE(ico.size(), mask + 32 * 4);
        static const QRgb standard[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
            0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00, 0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
        for (int i = 0; i < 16; ++i) {
            const QRgb bgr = quint8(ico[palette + 4 * i]) | quint8(ico[palette + 4 * i + 1]) << 8
                | quint8(ico[palette + 4 * i + 2]) << 16;
            QCOMPARE(QColor(bgr).name(), QColor(QRgb(standard[i])).name());
        }
        const QImage image = QImage::fromData(ico, "ICO");
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // transparent corner
        QCOMPARE(QApplication::windowIcon().availableSizes().value(0), QSize(32, 32));
    }

    void holders_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QSize>("natural"); // whole pixels the picture covers
        QTest::newRow("start wizard") << "frmquadratiinizio"
                                      << "Picture2" << QSize(122, 124);
        QTest::newRow("start title") << "frmquadratiinizio"
                                     << "Picture1" << QSize(127, 42);
        QTest::newRow("instructions square") << "frmistruzioni"
                                             << "Picture2" << QSize(102, 102);
        QTest::newRow("instructions title") << "frmistruzioni"
                                            << "Picture1" << QSize(141, 18);
        QTest::newRow("puzzle wizard") << "frmcalcolo"
                                       << "Picture1" << QSize(105, 119);
    }

    // Each picture sits unscaled at its holder's top-left; beyond it the
    // holder shows only the screen's background.
    void holders()
    {
        QFETCH(QString, screen);
        QFETCH(QString, holder);
        QFETCH(QSize, natural);
        random.deal(1, 1);
        runtime::Form* form = screen == "frmquadratiinizio" ? static_cast<runtime::Form*>(&frmquadratiinizio().Show())
            : screen == "frmistruzioni"                     ? static_cast<runtime::Form*>(&frmistruzioni().Show())
                                                            : &frmcalcolo().Show();
        auto* box = widget(form, holder);
        const QImage image = box->grab().toImage();
        const QColor background = screen == "frmquadratiinizio" ? QColor(255, 128, 128)
            : screen == "frmistruzioni"                         ? QColor(255, 192, 128)
                                                                : QColor(192, 255, 255);
        int inside = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool picture = x < natural.width() && y < natural.height();
                const bool differs = QColor(image.pixel(x, y)) != background;
                (picture ? inside : outside) += differs;
            }
        QVERIFY2(inside > natural.width() * natural.height() / 10, qPrintable(QString::number(inside)));
        QCOMPARE(outside, 0);
    }

    void theStartButtonShowsTheRedArrowInItsMiddleAndNoText()
    {
        auto* button = widget<QPushButton>(&frmquadratiinizio().Show(), "cmdparti");
        QVERIFY(button->text().isEmpty());
        const QImage image = button->grab().toImage();
        const QColor middle(image.pixel(image.width() / 2, image.height() / 2));
        QCOMPARE(middle, QColor(218, 37, 29));
    }

    void theHandwritingStripIsExactlyItsPicturesSize()
    {
        auto* strip = widget(&frmquadratiinizio().Show(), "Image1");
        QCOMPARE(strip->size(), QSize(82, 11));
    }
};

QTEST_MAIN(TestArtwork)
#include "artwork_test.moc"
