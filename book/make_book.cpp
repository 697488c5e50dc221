// Builds the demo book at build time:
//   make_book MOVIE.swf PROGRAM_FOLDER MEDIA_SITE SCRIPTS
// writes the book's movie, PROGRAM_FOLDER/Review/man.zov and the chapter
// media files below MEDIA_SITE as the download server lays them out; the
// movies' ActionScript comes from SCRIPTS (book/movie).
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "book/book_movies.h"
#include "book/content.h"
#include "book/gif_writer.h"
#include "player/layout.h"

namespace {

using book::Page;
namespace L = player::layout;

const QColor kPaper(0xfb, 0xf8, 0xf0);
const QColor kInk(0x2b, 0x2a, 0x28);
const QColor kAccent(0x1f, 0x4e, 0x79);

QString Q(const std::string& s) { return QString::fromUtf8(s.c_str()); }

QFont Font(int pixels, bool bold = false) {
  QFont f("WenQuanYi Micro Hei");
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

std::vector<std::uint8_t> Jpeg(const QImage& image, int quality = 88) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "jpg");
  writer.setQuality(quality);
  writer.setOptimizedWrite(true);  // optimised Huffman tables: a smaller book to read at start
  if (!writer.write(image)) {
    std::cerr << "make_book: cannot encode a JPEG picture: " << writer.errorString().toStdString() << "\n";
    std::exit(1);
  }
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void Footer(QPainter& p, int number) {
  p.setFont(Font(24));
  p.setPen(QColor(0x8a, 0x86, 0x7e));
  const L::Rect& r = L::kPageNumber;
  p.drawText(QRectF(r.x, r.y, r.w, r.h), Qt::AlignCenter, QString::number(number));
}

// Draws `text` wrapped to `width` from (x, y) and returns its bottom; adds
// to `lines` where a marker line goes under each of its lines: below the
// glyphs, not through them.
int DrawWrapped(QPainter& p, const QFont& font, const QString& text, int x, int y, int width,
                std::vector<int>* lines) {
  QTextLayout layout(text, font, p.device());
  QTextOption option;
  option.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  double height = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    line.setPosition(QPointF(0, height));
    height += line.height();
    if (lines)
      lines->push_back(static_cast<int>(std::lround(y + line.y() + line.ascent() + line.descent() + 1)));
  }
  layout.endLayout();
  layout.draw(&p, QPointF(x, y));
  return y + static_cast<int>(std::ceil(height));
}

book::PageArt RenderPage(const book::Book& b, int number) {
  book::PageArt art;
  const Page& page = b.pages[static_cast<size_t>(number - 1)];
  // Laid out on the page's design space, drawn at the picture's size.
  QImage img(L::kPagePictureWidth, L::kPagePictureHeight, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const int W = L::kPageImageWidth, H = L::kPageImageHeight;
  p.scale(static_cast<double>(img.width()) / W, static_cast<double>(img.height()) / H);

  if (page.kind == Page::Cover || page.kind == Page::BackCover) {
    QLinearGradient g(0, 0, 0, H);
    g.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    g.setColorAt(1, QColor(0x12, 0x2c, 0x45));
    p.fillRect(QRect(0, 0, W, H), g);
    p.setPen(QPen(QColor(0xe8, 0xd9, 0xa8), 4));
    p.drawRect(40, 40, W - 80, H - 80);
    if (page.kind == Page::Cover) {
      // An open book, drawn with two curved pages.
      p.setPen(QPen(QColor(0xf4, 0xec, 0xd8), 6));
      p.setBrush(QColor(0xfb, 0xf8, 0xf0));
      QPainterPath left, right;
      left.moveTo(384, 720);
      left.cubicTo(300, 680, 220, 690, 170, 720);
      left.lineTo(170, 520);
      left.cubicTo(220, 490, 300, 480, 384, 520);
      left.closeSubpath();
      right = left;
      QTransform flip;
      flip.translate(768, 0);
      flip.scale(-1, 1);
      p.drawPath(left);
      p.drawPath(flip.map(right));
      p.setPen(Qt::white);
      p.setFont(Font(64, true));
      p.drawText(QRect(60, 180, W - 120, 200), Qt::AlignCenter | Qt::TextWordWrap, Q(page.heading));
      p.setFont(Font(32));
      p.drawText(QRect(60, 380, W - 120, 80), Qt::AlignCenter, Q(page.paragraphs[0]));
      p.setFont(Font(28));
      p.setPen(QColor(0xe8, 0xd9, 0xa8));
      p.drawText(QRect(60, 880, W - 120, 60), Qt::AlignCenter, Q(page.paragraphs[1]));
    } else {
      p.setPen(Qt::white);
      p.setFont(Font(44, true));
      p.drawText(QRect(60, 420, W - 120, 120), Qt::AlignCenter | Qt::TextWordWrap, Q(page.heading));
      p.setFont(Font(30));
      p.drawText(QRect(60, 560, W - 120, 80), Qt::AlignCenter, Q(page.paragraphs[0]));
    }
    p.end();
    art.jpeg = Jpeg(img);
    return art;
  }

  p.fillRect(QRect(0, 0, W, H), kPaper);
  if (page.kind == Page::Contents) {
    p.setPen(kAccent);
    p.setFont(Font(56, true));
    p.drawText(QRect(0, 110, W, 90), Qt::AlignCenter, Q(page.heading));
    for (size_t i = 0; i < b.contents.size(); ++i) {
      L::Rect r = L::ContentsEntry(static_cast<int>(i));
      QRectF box(r.x, r.y, r.w, r.h);
      p.setPen(QPen(QColor(0xd8, 0xd0, 0xbc), 2));
      p.setBrush(QColor(0xf4, 0xef, 0xe2));
      p.drawRoundedRect(box, 10, 10);
      p.setPen(kInk);
      p.setFont(Font(30));
      p.drawText(box.adjusted(20, 0, -90, 0), Qt::AlignVCenter | Qt::AlignLeft, Q(b.contents[i].title));
      p.setPen(kAccent);
      p.drawText(box.adjusted(0, 0, -20, 0), Qt::AlignVCenter | Qt::AlignRight,
                 QString::number(b.contents[i].page));
    }
    Footer(p, number);
    p.end();
    art.jpeg = Jpeg(img);
    return art;
  }

  int y = 110;
  if (page.chapter) {
    p.fillRect(QRect(0, 0, W, 18), kAccent);
    p.setPen(QColor(0x8a, 0x86, 0x7e));
    p.setFont(Font(24));
    p.drawText(QRect(80, 40, W - 160, 40), Qt::AlignRight | Qt::AlignVCenter,
               Q(b.chapters[static_cast<size_t>(page.chapter - 1)].title));
  }
  p.setPen(kAccent);
  p.setFont(Font(44, true));
  QRect headRect = p.boundingRect(QRect(80, y, W - 160, 400), Qt::TextWordWrap, Q(page.heading));
  p.drawText(headRect, Qt::TextWordWrap, Q(page.heading));
  y = headRect.bottom() + 24;
  p.fillRect(QRect(80, y, 120, 5), QColor(0xe0, 0x9f, 0x3e));
  y += 48;
  p.setPen(kInk);
  p.setFont(Font(32));
  for (const auto& para : page.paragraphs)
    y = DrawWrapped(p, Font(32), Q(para), 80, y, W - 160, &art.lines) + 36;
  Footer(p, number);
  p.end();
  art.jpeg = Jpeg(img);
  return art;
}

// Narration: espeak-ng's Mandarin voice when it is there, else a tone.
std::vector<std::int16_t> Narration(const std::string& text, const QString& scratch, int* rate) {
  QString wav = scratch + "/narration.wav";
  std::string cmd = "espeak-ng -v cmn -s 150 -w '" + wav.toStdString() + "' '" + text + "' >/dev/null 2>&1";
  std::vector<std::int16_t> samples;
  if (std::system(cmd.c_str()) == 0) {
    QFile f(wav);
    if (f.open(QIODevice::ReadOnly)) {
      QByteArray data = f.readAll();
      // RIFF/WAVE, PCM 16-bit mono: find the "data" chunk.
      if (data.size() > 44 && data.startsWith("RIFF")) {
        *rate = static_cast<unsigned char>(data[24]) | static_cast<unsigned char>(data[25]) << 8 |
                static_cast<unsigned char>(data[26]) << 16;
        qsizetype at = data.indexOf("data", 12);
        if (at > 0) {
          const char* d = data.constData() + at + 8;
          qsizetype n = (data.size() - at - 8) / 2;
          for (qsizetype i = 0; i < n; ++i)
            samples.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(d[2 * i]) |
                                                        static_cast<unsigned char>(d[2 * i + 1]) << 8));
        }
      }
    }
  }
  if (samples.empty()) {
    *rate = 11025;
    for (int i = 0; i < 11025 * 3; ++i) {
      double t = i / 11025.0;
      double envelope = std::min(1.0, std::min(t * 4, (3 - t) * 4));
      samples.push_back(static_cast<std::int16_t>(6000 * envelope * std::sin(2 * M_PI * 440 * t)));
    }
  }
  return samples;
}

bool Write(const QString& path, const std::vector<std::uint8_t>& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
         static_cast<qint64>(bytes.size());
}

QImage Narrator(int frame) {
  QImage img(160, 160, QImage::Format_RGB32);
  img.fill(QColor(0xf4, 0xf0, 0xe6));
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kInk, 3));
  p.setBrush(QColor(0xf6, 0xd7, 0xb0));
  p.drawEllipse(QRectF(30, 20, 100, 110));
  p.setBrush(kInk);
  p.drawEllipse(QRectF(58, 60, 10, 12));
  p.drawEllipse(QRectF(92, 60, 10, 12));
  double open = std::abs(std::sin(frame * M_PI / 4)) * 16;  // the mouth opens and closes
  p.setBrush(QColor(0xb0, 0x40, 0x40));
  p.drawEllipse(QRectF(66, 96 - open / 2, 28, 4 + open));
  return img;
}

// The chapter movie's face: its title on the chapter's colour, at twice
// the stage's 217 x 100 pixels.
std::vector<std::uint8_t> ChapterFace(const book::Chapter& c) {
  QImage img(434, 200, QImage::Format_RGB32);
  img.fill(kAccent);
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.scale(2, 2);
  p.setPen(Qt::white);
  p.setFont(Font(14));
  p.drawText(QRectF(10, 8, 197, 28), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("第 ") + QString::number(c.number) + QString::fromUtf8(" 章導讀"));
  p.end();
  return Jpeg(img, 90);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 5) {
    std::cerr << "usage: make_book MOVIE.swf PROGRAM_FOLDER MEDIA_SITE SCRIPTS\n";
    return 2;
  }
  const book::Book& b = book::DemoBook();
  const std::string scripts = argv[4];

  std::vector<book::PageArt> pages;
  for (int n = 1; n <= static_cast<int>(b.pages.size()); ++n) pages.push_back(RenderPage(b, n));
  // The book's background sound: a quiet chord that loops. One second of
  // it: each tone makes whole cycles in it, so the loop has no seam, and
  // the movie carries (and the reader inflates) no more than that.
  book::Sound16 hum;
  for (int i = 0; i < 11025; ++i) {
    double t = i / 11025.0;
    hum.samples.push_back(static_cast<std::int16_t>(
        900 * (std::sin(2 * M_PI * 220 * t) + std::sin(2 * M_PI * 275 * t) + std::sin(2 * M_PI * 330 * t))));
  }
  try {
    if (!Write(QString::fromLocal8Bit(argv[1]), book::BookMovie(b, pages, hum, scripts))) {
      std::cerr << "make_book: cannot write " << argv[1] << "\n";
      return 1;
    }

    // The narrator animation, beside the program.
    std::vector<std::vector<std::uint8_t>> faces;
    for (int f = 0; f < 8; ++f) faces.push_back(Jpeg(Narrator(f), 85));
    QString program = QString::fromLocal8Bit(argv[2]);
    if (!Write(program + "/Review/man.zov", book::NarratorMovie(faces))) {
      std::cerr << "make_book: cannot write the narrator animation\n";
      return 1;
    }

    // One media file per chapter, where the download server serves them.
    QString site = QString::fromLocal8Bit(argv[3]) + "/" + Q(b.code) + "/Review/";
    QDir().mkpath(site);
    for (const auto& c : b.chapters) {
      book::Sound16 voice;
      voice.samples = Narration(c.narration, site, &voice.rate);
      QString name = site + Q(b.code) + "_" + QString::number(c.number) + ".zov";
      if (!Write(name, book::ChapterMovie(c, ChapterFace(c), voice, scripts))) {
        std::cerr << "make_book: cannot write " << name.toStdString() << "\n";
        return 1;
      }
    }
    QFile::remove(site + "/narration.wav");
  } catch (const std::exception& e) {
    std::cerr << "make_book: " << e.what() << "\n";
    return 1;
  }

  // The About window's picture: 1110 x 207, a GIF.
  {
    QImage about(1110, 207, QImage::Format_RGB32);
    QPainter p(&about);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(about.rect(), QColor(0x1f, 0x4e, 0x79));  // flat: a GIF holds 256 colours
    p.setPen(QPen(QColor(0xe8, 0xd9, 0xa8), 8));
    p.setBrush(QColor(0xfb, 0xf8, 0xf0));
    p.drawRoundedRect(QRectF(40, 38, 96, 130), 8, 8);
    p.drawRoundedRect(QRectF(136, 38, 96, 130), 8, 8);
    p.setPen(Qt::white);
    p.setFont(Font(84, true));
    p.drawText(QRect(270, 0, 820, 207), Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8("翻頁電子書"));
    p.end();
    QImage indexed = about.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    std::vector<std::uint8_t> indices;
    indices.reserve(1110 * 207);
    for (int y = 0; y < indexed.height(); ++y)
      for (int x = 0; x < indexed.width(); ++x)
        indices.push_back(static_cast<std::uint8_t>(indexed.pixelIndex(x, y)));
    std::vector<std::uint32_t> palette;
    for (QRgb c : indexed.colorTable()) palette.push_back(c & 0xFFFFFF);
    if (!Write(QString::fromLocal8Bit(argv[2]) + "/about.gif",
               book::EncodeGif(1110, 207, indices, palette))) {
      std::cerr << "make_book: cannot write the About picture\n";
      return 1;
    }
  }

  return 0;
}
