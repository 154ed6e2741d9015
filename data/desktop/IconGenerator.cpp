// Draws the program's icon at build time from one list of shapes: a result page under a
// magnifying glass on a blue tile. The same list is written as the scalable SVG and painted into
// the PNG sizes, so the two never drift apart.
//   quorvia_icongen <folder>   writes quorvia.svg, quorvia-48.png and quorvia-256.png

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double Canvas = 256; // the shapes' coordinates

struct Shape {
    enum Kind { RoundRect, Circle, Line } kind;
    double x1, y1, x2, y2; // RoundRect: corners; Circle: centre and radius in x2; Line: ends
    double radiusOrWidth;  // RoundRect: corner radius; Line: stroke width; Circle: ring width
    const char* fill;      // "none" for no fill
    const char* stroke;    // "none" for no stroke
};

const std::vector<Shape> Shapes = {
    {Shape::RoundRect, 8, 8, 248, 248, 44, "#14466e", "none"},   // tile
    {Shape::RoundRect, 44, 30, 172, 206, 10, "#f5f7fa", "none"}, // result page
    {Shape::Line, 64, 64, 150, 64, 12, "none", "#aab4c3"},       // result lines
    {Shape::Line, 64, 96, 136, 96, 12, "none", "#aab4c3"},
    {Shape::Line, 64, 128, 150, 128, 12, "none", "#e68c1e"}, // the site's line
    {Shape::Line, 64, 160, 120, 160, 12, "none", "#aab4c3"},
    {Shape::Line, 188, 188, 230, 230, 26, "none", "#e68c1e"},     // handle
    {Shape::Circle, 152, 152, 52, 0, 16, "#e1f0ff80", "#ffffff"}, // lens
};

// fill="#rrggbb", with fill-opacity for a "#rrggbbaa" colour (older SVG readers know no alpha).
std::string FillOf(const char* fill) {
    const std::string colour(fill);
    if (colour.size() != 9)
        return "fill=\"" + colour + "\"";
    char opacity[16];
    std::snprintf(opacity, sizeof opacity, "%.3g",
                  std::stoi(colour.substr(7), nullptr, 16) / 255.0);
    return "fill=\"" + colour.substr(0, 7) + "\" fill-opacity=\"" + opacity + "\"";
}

std::string SvgOf(const Shape& s) {
    char text[256];
    switch (s.kind) {
    case Shape::RoundRect:
        std::snprintf(text, sizeof text,
                      R"(<rect x="%g" y="%g" width="%g" height="%g" rx="%g" %s/>)", s.x1, s.y1,
                      s.x2 - s.x1, s.y2 - s.y1, s.radiusOrWidth, FillOf(s.fill).c_str());
        break;
    case Shape::Circle:
        std::snprintf(text, sizeof text,
                      R"(<circle cx="%g" cy="%g" r="%g" %s stroke="%s" stroke-width="%g"/>)", s.x1,
                      s.y1, s.x2, FillOf(s.fill).c_str(), s.stroke, s.radiusOrWidth);
        break;
    case Shape::Line:
        std::snprintf(
            text, sizeof text,
            R"(<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="%s" stroke-width="%g" stroke-linecap="round"/>)",
            s.x1, s.y1, s.x2, s.y2, s.stroke, s.radiusOrWidth);
        break;
    }
    return text;
}

// "#rrggbb" or "#rrggbbaa"
QColor ColourOf(const char* text) {
    const QString hex = QString::fromLatin1(text + 1);
    QColor colour(QStringLiteral("#") + hex.left(6));
    if (hex.size() == 8)
        colour.setAlpha(hex.mid(6, 2).toInt(nullptr, 16));
    return colour;
}

void Paint(QPainter& p, const Shape& s) {
    const bool filled = std::string(s.fill) != "none";
    const bool stroked = std::string(s.stroke) != "none";
    p.setBrush(filled ? QBrush(ColourOf(s.fill)) : QBrush(Qt::NoBrush));
    switch (s.kind) {
    case Shape::RoundRect:
        p.setPen(Qt::NoPen);
        p.drawRoundedRect(QRectF(s.x1, s.y1, s.x2 - s.x1, s.y2 - s.y1), s.radiusOrWidth,
                          s.radiusOrWidth);
        break;
    case Shape::Circle:
        p.setPen(stroked ? QPen(ColourOf(s.stroke), s.radiusOrWidth) : QPen(Qt::NoPen));
        p.drawEllipse(QPointF(s.x1, s.y1), s.x2, s.x2);
        break;
    case Shape::Line:
        p.setPen(QPen(ColourOf(s.stroke), s.radiusOrWidth, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2));
        break;
    }
}

bool WriteSvg(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << R"(<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">)"
        << "\n";
    for (const Shape& s : Shapes)
        out << "  " << SvgOf(s) << "\n";
    out << "</svg>\n";
    return bool(out);
}

bool WritePng(const std::string& path, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / Canvas, size / Canvas);
    for (const Shape& s : Shapes)
        Paint(p, s);
    p.end();
    return image.save(QString::fromStdString(path), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const bool ok = WriteSvg(folder + "quorvia.svg") && WritePng(folder + "quorvia-48.png", 48) &&
                    WritePng(folder + "quorvia-256.png", 256);
    if (!ok)
        std::fprintf(stderr, "%s: cannot write the icons into %s\n", argv[0], argv[1]);
    return ok ? 0 : 1;
}
