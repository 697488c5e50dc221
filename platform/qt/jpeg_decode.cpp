#include "platform/qt/jpeg_decode.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace qtdesk {

namespace {

struct Job {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error{};
  std::jmp_buf escape;
  QImage image;
};

// The library's default ends the process; a damaged page must not.
[[noreturn]] void Fail(j_common_ptr info) { std::longjmp(static_cast<Job*>(info->client_data)->escape, 1); }

void Quiet(j_common_ptr) {}

bool IsJpeg(std::span<const std::uint8_t> data) {
  return data.size() > 3 && data[0] == 0xff && data[1] == 0xd8;
}

// Everything the decoder touches after setjmp lives in *job, on the heap, so
// nothing is left indeterminate when a failure jumps back.
bool Run(Job* job, QSize atLeast) {
  if (setjmp(job->escape)) return false;
  jpeg_read_header(&job->info, TRUE);
  const unsigned w = job->info.image_width, h = job->info.image_height;
  if (w == 0 || h == 0) return false;
  unsigned num = 8;
  if (atLeast.width() > 0 && atLeast.height() > 0) {
    // The smallest n/8 scale that still covers the wanted size.
    auto need = [](unsigned want, unsigned have) { return (8 * want + have - 1) / have; };
    num = std::max(need(static_cast<unsigned>(atLeast.width()), w),
                   need(static_cast<unsigned>(atLeast.height()), h));
    num = std::clamp(num, 1u, 8u);
  }
  job->info.scale_num = num;
  job->info.scale_denom = 8;
  // QImage::Format_RGB32's byte order in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  job->info.out_color_space = JCS_EXT_BGRX;
#else
  job->info.out_color_space = JCS_EXT_XRGB;
#endif
  jpeg_start_decompress(&job->info);
  job->image = QImage(static_cast<int>(job->info.output_width), static_cast<int>(job->info.output_height),
                      QImage::Format_RGB32);
  if (job->image.isNull()) return false;
  while (job->info.output_scanline < job->info.output_height) {
    JSAMPROW row = job->image.scanLine(static_cast<int>(job->info.output_scanline));
    jpeg_read_scanlines(&job->info, &row, 1);
  }
  jpeg_finish_decompress(&job->info);
  return true;
}

}  // namespace

QImage DecodeJpeg(std::span<const std::uint8_t> data, QSize atLeast) {
  if (!IsJpeg(data)) return {};
  auto job = std::make_unique<Job>();
  job->info.err = jpeg_std_error(&job->error);
  job->error.error_exit = Fail;
  job->error.output_message = Quiet;
  job->info.client_data = job.get();
  jpeg_create_decompress(&job->info);
  jpeg_mem_src(&job->info, data.data(), static_cast<unsigned long>(data.size()));
  bool ok = Run(job.get(), atLeast);
  jpeg_destroy_decompress(&job->info);
  return ok ? std::move(job->image) : QImage();
}

}  // namespace qtdesk
