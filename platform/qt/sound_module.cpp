// The sound output on Qt Multimedia, loaded when a sound first plays.
#include <QAudioDevice>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <memory>

#include "platform/qt/sound_out.h"

namespace {

class Backend : public qtdesk::SoundBackend {
 public:
  ~Backend() override { Stop(); }
  void Play(const player::SwfSound& sound, bool loop) override {
    Stop();
    if (sound.samples.empty() || sound.rate <= 0) return;
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;  // no audio device: the timing runs silently
    QAudioFormat format;
    format.setSampleRate(sound.rate);
    format.setChannelCount(sound.channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return;
    pcm_ = QByteArray(reinterpret_cast<const char*>(sound.samples.data()),
                      static_cast<qsizetype>(sound.samples.size() * sizeof(std::int16_t)));
    buffer_ = std::make_unique<QBuffer>(&pcm_);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    loop_ = loop;
    QObject::connect(sink_.get(), &QAudioSink::stateChanged, sink_.get(), [this](QAudio::State s) {
      if (s == QAudio::IdleState && loop_ && buffer_) {
        buffer_->seek(0);
        sink_->start(buffer_.get());
      }
    });
    sink_->start(buffer_.get());
  }
  void Stop() override {
    loop_ = false;
    if (sink_) sink_->stop();
    sink_.reset();
    buffer_.reset();
  }

 private:
  std::unique_ptr<QAudioSink> sink_;
  std::unique_ptr<QBuffer> buffer_;
  QByteArray pcm_;
  bool loop_ = false;
};

}  // namespace

extern "C" Q_DECL_EXPORT qtdesk::SoundBackend* reader_sound_create() { return new Backend; }
