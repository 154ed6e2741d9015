// The whole X screen as a PNG, for pictures of the running program in docs/:
//   DISPLAY=:99 build/tools/quorvia_screen_shot docs/demo-scan.png

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <png>\n", argv[0]);
        return 2;
    }
    return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromUtf8(argv[1])) ? 0 : 1;
}
