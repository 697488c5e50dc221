// The program's icon as the build draws it, and as the windows get it.
#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <QXmlStreamReader>
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "platform/qt/window_icon.h"
#include "tests/support/qt_app.h"
#include "tests/support/support.h"

using testing_support::App;
using testing_support::TempDir;

namespace {

const int kSizes[] = {16, 24, 32, 48, 64, 128, 256};
const QRgb kPaper = qRgb(0xfb, 0xf8, 0xf0), kInk = qRgb(0x2b, 0x2a, 0x28), kAccent = qRgb(0x1f, 0x4e, 0x79);

QString Built(const std::string& name) {
  return QString::fromStdString(std::string(READER_PROGRAM_DIR) + "/icons/" + name);
}

QImage Png(int n) {
  return QImage(Built("reader-" + std::to_string(n) + ".png")).convertToFormat(QImage::Format_ARGB32);
}

std::vector<QSize> Sizes(const QIcon& icon) {
  std::vector<QSize> sizes;
  for (const QSize& s : icon.availableSizes()) sizes.push_back(s);
  std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
  return sizes;
}

std::vector<QSize> DrawnSizes() {
  std::vector<QSize> sizes;
  for (int n : kSizes) sizes.emplace_back(n, n);
  return sizes;
}

}  // namespace

TEST(ProgramIcon, EverySizeIsDrawnOnItsOwnPixelGridInTheBooksColours) {
  for (int n : kSizes) {
    SCOPED_TRACE(n);
    QImage image = Png(n);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(n, n));
    EXPECT_LT(qAlpha(image.pixel(0, 0)), 255);  // a rounded square
    EXPECT_EQ(qAlpha(image.pixel(n / 2, n / 2)), 255);
    // Nearly every pixel is one of the colours or clear: a picture scaled
    // down from a larger one blends most of its edges instead.
    std::map<QRgb, int> colours;
    int exact = 0;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        QRgb c = image.pixel(x, y);
        if (qAlpha(c) == 0) {
          ++exact;
        } else if (qAlpha(c) == 255) {
          QRgb rgb = qRgb(qRed(c), qGreen(c), qBlue(c));
          if (rgb == kPaper || rgb == kInk || rgb == kAccent) {
            ++exact;
            ++colours[rgb];
          }
        }
      }
    }
    EXPECT_GE(exact * 10, n * n * 9);
    EXPECT_GT(colours[kPaper], 0);
    EXPECT_GT(colours[kInk], 0);
    EXPECT_GT(colours[kAccent], n * n / 4);
  }
}

TEST(ProgramIcon, TheScalableOneIsTheLargestDrawnAsShapes) {
  QFile file(Built("reader.svg"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  ASSERT_TRUE(xml.readNextStartElement());
  EXPECT_EQ(xml.name(), u"svg");
  EXPECT_EQ(xml.namespaceUri(), u"http://www.w3.org/2000/svg");
  EXPECT_EQ(xml.attributes().value("viewBox"), u"0 0 256 256");
  struct Shape {
    QRect rect;
    int radius;
    QRgb fill;
  };
  std::vector<Shape> shapes;
  std::set<std::string> kinds;
  while (xml.readNextStartElement()) {
    kinds.insert(xml.name().toString().toStdString());
    auto a = xml.attributes();
    shapes.push_back({QRect(a.value("x").toInt(), a.value("y").toInt(), a.value("width").toInt(),
                            a.value("height").toInt()),
                      a.value("rx").toInt(), QColor(a.value("fill").toString()).rgb()});
    xml.skipCurrentElement();
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  ASSERT_EQ(kinds, std::set<std::string>{"rect"});
  ASSERT_GT(shapes.size(), 4u);

  // Its shapes, painted in order, give the 256 picture pixel for pixel, but
  // where the tile's rounded corners are smoothed.
  QImage png = Png(256);
  const Shape& tile = shapes.front();
  int mismatches = 0;
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      bool corner = (x < tile.rect.left() + tile.radius || x > tile.rect.right() - tile.radius) &&
                    (y < tile.rect.top() + tile.radius || y > tile.rect.bottom() - tile.radius);
      if (corner) continue;
      QRgb expected = 0;
      for (const Shape& s : shapes)
        if (s.rect.contains(x, y)) expected = s.fill;
      if (png.pixel(x, y) != expected) ++mismatches;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(WindowIcon, EveryWindowGetsTheIconAtEveryDrawnSize) {
  App();
  qtdesk::LoadWindowIcon(READER_PROGRAM_DIR);
  EXPECT_EQ(Sizes(QApplication::windowIcon()), DrawnSizes());
  QWidget window;
  EXPECT_EQ(Sizes(window.windowIcon()), DrawnSizes());
  // The small one is the one drawn for its size, not the large one scaled.
  EXPECT_EQ(window.windowIcon().pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32),
            Png(16));
}

TEST(WindowIcon, WithoutUsablePicturesNothingChangesAndStrayFilesAreLeftOut) {
  App();
  QPixmap mark(8, 8);
  mark.fill(Qt::red);
  QApplication::setWindowIcon(QIcon(mark));
  const std::vector<QSize> before{QSize(8, 8)};

  TempDir dir;
  std::string folder = dir / "書 本";
  qtdesk::LoadWindowIcon(folder);  // no such folder
  EXPECT_EQ(Sizes(QApplication::windowIcon()), before);

  std::filesystem::create_directories(folder + "/icons");
  testing_support::WriteFile(folder + "/icons/reader-20.png", "not a picture");
  QImage square(32, 32, QImage::Format_ARGB32);
  square.fill(Qt::blue);
  ASSERT_TRUE(square.save(QString::fromStdString(folder + "/icons/reader-40.png"), "PNG"));  // wrong size
  for (const char* stray : {"reader-x.png", "reader-32.png.bak", "other-32.png", "reader-032.png"})
    ASSERT_TRUE(square.save(QString::fromStdString(folder + "/icons/" + stray), "PNG"));
  qtdesk::LoadWindowIcon(folder);
  EXPECT_EQ(Sizes(QApplication::windowIcon()), before);

  ASSERT_TRUE(square.save(QString::fromStdString(folder + "/icons/reader-32.png"), "PNG"));
  qtdesk::LoadWindowIcon(folder);
  EXPECT_EQ(Sizes(QApplication::windowIcon()), std::vector<QSize>{QSize(32, 32)});
}
