// The floor any Qt Widgets program stands on: one empty window of Cifrella's
// size and colour, shown and painted.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Cifrella"));
    window.setFixedSize(548, 350);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(255, 128, 128));
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    window.show();
    return app.exec();
}
