// The floor of any window that shows what Cifrella's start screen shows: a
// window of the same size and colour with the same captions in the same
// fonts, the same four pictures from the same pre-rendered pixels and the
// same icon, and no program logic at all.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPushButton>
#include <QResource>
#include <QWidget>

namespace {

// A render made by Cifrella's build: a 24-byte header, then the pixels.
QImage pixels(const char* path)
{
    const QResource r{QString::fromLatin1(path)};
    const uchar* d = r.data();
    auto n = [d](int i) { return int(d[4 + 4 * i] | d[5 + 4 * i] << 8 | d[6 + 4 * i] << 16 | d[7 + 4 * i] << 24); };
    return QImage(d + 24, n(0), n(1), n(0) * 4, QImage::Format_ARGB32_Premultiplied);
}

class Picture : public QWidget {
public:
    Picture(QWidget* parent, QRect place, const char* path)
        : QWidget(parent)
        , image_(pixels(path))
    {
        setGeometry(place);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }

private:
    QImage image_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(pixels(":/cifrella.argb"))));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Cifrella"));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    window.setFixedSize(548, 350);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(255, 128, 128));
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    new Picture(&window, QRect(208, 32, 313, 113), ":/title.argb");
    new Picture(&window, QRect(24, 88, 201, 225), ":/wizard_wand.argb");
    new Picture(&window, QRect(8, 328, 82, 11), ":/handwriting.argb");
    auto* start = new QPushButton(&window);
    start->setGeometry(320, 200, 81, 57);
    start->setIcon(QIcon(QPixmap::fromImage(pixels(":/arrow.argb"))));
    start->setIconSize(QSize(39, 36));
    QFont dialog(QStringLiteral("Liberation Sans"));
    dialog.setPixelSize(11);
    for (auto [caption, place] : {std::pair{"&Esci", QRect(480, 312, 57, 25)},
             std::pair{"&Istruzioni", QRect(400, 312, 65, 25)}}) {
        auto* b = new QPushButton(QString::fromLatin1(caption), &window);
        b->setGeometry(place);
        b->setFont(dialog);
    }
    window.show();
    return app.exec();
}
