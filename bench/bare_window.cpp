// The floor any Qt Widgets program stands on: one empty window of Cifrella's
// size and colour, shown and painted. With --text it also shows one button
// with a caption, the floor of any window that shows text.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include <cstring>

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
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        (new QPushButton(QStringLiteral("&Esci"), &window))->setGeometry(480, 312, 57, 25);
    window.show();
    return app.exec();
}
