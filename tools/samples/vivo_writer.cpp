#include "samples/vivo_writer.h"

#include <QList>
#include <QProcess>

namespace VivoWriter {

namespace {

// Packet lengths take one byte below 128, else two of 7 bits each, the
// first with its high bit set.
QByteArray length(int n)
{
    if (n < 0x80)
        return QByteArray(1, char(n));
    return QByteArray{} + char(0x80 | (n >> 7)) + char(n & 0x7f);
}

// Every picture begins with a start code: 22 bits 0000 0000 0000 0000 1000 00.
QList<QByteArray> pictures(const QByteArray& h263)
{
    QList<qsizetype> starts;
    for (qsizetype i = 0; i + 2 < h263.size(); ++i)
        if (h263[i] == 0 && h263[i + 1] == 0 && (quint8(h263[i + 2]) & 0xfc) == 0x80) {
            starts << i;
            i += 2;
        }
    QList<QByteArray> out;
    for (qsizetype k = 0; k < starts.size(); ++k)
        out << h263.mid(starts[k], (k + 1 < starts.size() ? starts[k + 1] : h263.size()) - starts[k]);
    return out;
}

}

QByteArray wrap(const QByteArray& h263, int fps, QSize size)
{
    const QList<QByteArray> frames = pictures(h263);
    const QByteArray text = QStringLiteral("\r\nVersion:Vivo/1.0\r\nFPS:%1\r\nWidth:%2\r\nHeight:%3\r\nDuration:%4\r\n\r\n")
                                .arg(fps).arg(size.width()).arg(size.height()).arg(frames.size() * 1000 / fps)
                                .toLatin1();
    QByteArray out = '\0' + length(int(text.size())) + text;
    // A packet of type 2 carries its length; its low nibble numbers the
    // picture, and packets with the same number join into one picture, so the
    // number changes from picture to picture. The length fits 14 bits.
    constexpr int chunk = 16000;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const char type = char(0x20 | ((i + 1) & 0xf));
        for (qsizetype at = 0; at < frames[i].size(); at += chunk) {
            const QByteArray part = frames[i].mid(at, chunk);
            out += type + length(int(part.size())) + part;
        }
    }
    return out;
}

QByteArray testClip(QString* why)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-loglevel", "error", "-f", "lavfi", "-i", "testsrc=size=176x144:rate=25",
                                            "-t", "2", "-c:v", "h263", "-f", "h263", "pipe:1"});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        *why = QStringLiteral("ffmpeg made no H.263 stream: %1 %2")
                   .arg(ffmpeg.errorString(), QString::fromLocal8Bit(ffmpeg.readAllStandardError()).trimmed());
        return {};
    }
    const QByteArray h263 = ffmpeg.readAllStandardOutput();
    if (pictures(h263).isEmpty()) {
        *why = QStringLiteral("ffmpeg's H.263 stream holds no pictures");
        return {};
    }
    return wrap(h263, 25, {176, 144});
}

}
