// Draws the program's icon at build time:
//   make_icon FOLDER SIZE...
// writes FOLDER/reader-SIZE.png for each size and FOLDER/reader.svg.
//
// An open book on a rounded square in the book's colours. Each size is laid
// out on its own pixel grid (the 256 layout scaled, then snapped, with
// minimum widths and fewer text lines where there is no room), so even the
// 16 pixel one has sharp edges; the SVG is the 256 layout, the same design.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const QColor kPaper(0xfb, 0xf8, 0xf0);
const QColor kInk(0x2b, 0x2a, 0x28);
const QColor kAccent(0x1f, 0x4e, 0x79);

// The icon on a size x size grid, in whole pixels.
struct Layout {
  QRect tile;
  int radius;
  QRect cover;                         // shows round the pages and between them: the binding
  QRect left, right;                   // the pages
  std::vector<QRect> headings, lines;  // text on both pages
};

Layout Fit(int n) {
  // A length of the 256 design, on this grid.
  auto px = [n](double v) { return static_cast<int>(std::lround(v * n / 256.0)); };
  Layout l;
  int margin = 8 * n / 256;
  l.tile = QRect(margin, margin, n - 2 * margin, n - 2 * margin);
  l.radius = std::max(2, px(48));
  // The pages mirror each other across the spine.
  int gap = std::max(2, px(6));
  int top = px(58), bottom = px(184), outer = px(44), inner = (n - gap) / 2 - 1;
  l.left = QRect(QPoint(outer, top), QPoint(inner, bottom - 1));
  l.right = QRect(QPoint(n - 1 - inner, top), QPoint(n - 1 - outer, bottom - 1));
  // At least a pixel of binding beside and below the pages.
  int coverOuter = std::min(px(34), outer - 1);
  l.cover = QRect(QPoint(coverOuter, px(70)), QPoint(n - coverOuter - 1, std::max(px(196), bottom + 1) - 1));

  // Lines of text with at least their own thickness between them; below 48
  // pixels two clear rows, or they run together.
  int thick = std::max(1, px(6));
  int pitch = std::max({px(20), 2 * thick, n < 48 ? 3 : 0});
  int inset = std::max(1, px(14));
  int first = px(80), last = px(170);
  int count = 0;
  while (count < 5 && first + count * pitch + thick <= last) ++count;
  for (const QRect& page : {l.left, l.right}) {
    int width = page.width() - 2 * inset;
    // A heading, then a paragraph whose last line is short.
    l.headings.emplace_back(page.left() + inset, first, std::max(1, width * 3 / 4), thick);
    for (int i = 1; i < count; ++i) {
      bool end = i == count - 1 && count > 2;
      l.lines.emplace_back(page.left() + inset, first + i * pitch, end ? width * 3 / 5 : width, thick);
    }
  }
  return l;
}

QImage Draw(int n) {
  const Layout l = Fit(n);
  QImage image(n, n, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setPen(Qt::NoPen);
  // Only the tile's corners are not on the grid.
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(kAccent);
  p.drawRoundedRect(QRectF(l.tile), l.radius, l.radius);
  p.fillRect(l.cover, kInk);
  p.fillRect(l.left, kPaper);
  p.fillRect(l.right, kPaper);
  for (const QRect& line : l.headings) p.fillRect(line, kAccent);
  for (const QRect& line : l.lines) p.fillRect(line, kInk);
  return image;
}

QString Svg() {
  const Layout l = Fit(256);
  auto rect = [](const QRect& r, const QColor& c) {
    return QString("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(c.name());
  };
  QString s =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
  s += QString("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"/>\n")
           .arg(l.tile.x())
           .arg(l.tile.y())
           .arg(l.tile.width())
           .arg(l.tile.height())
           .arg(l.radius)
           .arg(kAccent.name());
  s += rect(l.cover, kInk) + rect(l.left, kPaper) + rect(l.right, kPaper);
  for (const QRect& line : l.headings) s += rect(line, kAccent);
  for (const QRect& line : l.lines) s += rect(line, kInk);
  s += "</svg>\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_icon FOLDER SIZE...\n");
    return 2;
  }
  QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "make_icon: cannot make %s\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    char* end = nullptr;
    long n = std::strtol(argv[i], &end, 10);
    if (*end != '\0' || n < 16 || n > 1024) {
      std::fprintf(stderr, "make_icon: %s is not a size from 16 to 1024\n", argv[i]);
      return 2;
    }
    QString path = folder + "/reader-" + QString::number(n) + ".png";
    if (!Draw(static_cast<int>(n)).save(path, "PNG")) {
      std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  QFile svg(folder + "/reader.svg");
  if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(Svg().toUtf8()) < 0 ||
      !svg.flush()) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(svg.fileName()));
    return 1;
  }
  return 0;
}
