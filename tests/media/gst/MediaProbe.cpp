#include "media/gst/MediaProbe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace gsttest {
namespace {

// Runs a program to its end (or kills it at the limit); its standard output,
// and whether it exited cleanly with 0.
bool Run(const QString& program, const QStringList& arguments, int timeoutMs, QByteArray& output) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted(5000)) return false;
  const bool finished = process.waitForFinished(timeoutMs);
  if (!finished) {
    process.kill();
    process.waitForFinished(2000);
  }
  output = process.readAllStandardOutput();
  return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

double Rate(const QString& fraction) {
  const QStringList parts = fraction.split('/');
  if (parts.size() != 2 || parts[1].toDouble() == 0) return 0;
  return parts[0].toDouble() / parts[1].toDouble();
}

}  // namespace

ProbedMedia ProbeMedia(const std::string& url, int timeoutMs) {
  QByteArray output;
  ProbedMedia media;
  media.ok = Run("ffprobe", {"-v", "error", "-of", "json", "-show_format", "-show_streams", QString::fromStdString(url)},
                 timeoutMs, output);
  const QJsonObject root = QJsonDocument::fromJson(output).object();
  const QJsonObject format = root["format"].toObject();
  media.format = format["format_name"].toString().toStdString();
  media.duration = format["duration"].toString().toDouble();
  media.bitsPerSecond = format["bit_rate"].toString().toDouble();
  for (const QJsonValue& value : root["streams"].toArray()) {
    const QJsonObject s = value.toObject();
    media.streams.push_back({s["codec_type"].toString().toStdString(), s["codec_name"].toString().toStdString(),
                             s["width"].toInt(), s["height"].toInt(), Rate(s["r_frame_rate"].toString())});
  }
  return media;
}

DecodedMedia DecodeVideo(const std::string& url, int maxFrames, int timeoutMs) {
  // Each log line tagged with its level; one info line per decoded frame
  // with its time, read back below.
  QStringList arguments{"-loglevel", "level+info", "-nostdin", "-i", QString::fromStdString(url), "-map", "0:v:0"};
  if (maxFrames > 0) arguments << "-frames:v" << QString::number(maxFrames);
  arguments << "-vf" << "showinfo" << "-f" << "null" << "-";
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start("ffmpeg", arguments);
  DecodedMedia decoded;
  if (!process.waitForStarted(5000)) return decoded;
  const bool finished = process.waitForFinished(timeoutMs);
  if (!finished) {
    process.kill();
    process.waitForFinished(2000);
  }
  const QString log = QString::fromUtf8(process.readAll());
  const bool live = url.find("://") != std::string::npos;
  bool failed = false;
  for (const QString& line : log.split('\n')) {
    if (line.contains("[error]") || line.contains("[warning]")) decoded.problems += line.toStdString() + "\n";
    // A live stream joined at a key frame's packet may begin with the tail
    // of the frame before; the decoder says so at its error level.
    failed = failed || (line.contains("[error]") && !(live && line.contains("first frame is no keyframe")));
    const int at = line.indexOf(" pts_time:");
    if (!line.contains("Parsed_showinfo") || at < 0) continue;
    ++decoded.frames;
    decoded.lastFrame = line.mid(at + 10).section(' ', 0, 0).toDouble();
  }
  decoded.ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 && !failed;
  return decoded;
}

}  // namespace gsttest
