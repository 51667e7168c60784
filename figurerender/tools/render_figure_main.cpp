// Draws a texture data file into a picture without the command-line program:
//   render-figure INPUT OUTPUT [DPI]
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "figurerender/figure_render.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: render-figure INPUT OUTPUT [DPI]\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    figurerender::Options options;
    if (argc > 3)
        options.dpi = std::atoi(argv[3]);
    std::string error;
    if (!figurerender::RenderFigureFile(argv[1], argv[2], options, &error)) {
        std::fprintf(stderr, "render-figure: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
