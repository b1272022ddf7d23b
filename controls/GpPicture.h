#pragma once
// A picture that keeps an image file's bytes as they are (PNG, JPEG, GIF,
// BMP ...) and draws them through the wrapper classes, so pictures keep
// their alpha channel.
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <cstddef>

class QIODevice;

namespace orvane {
class TCanvas;
struct TRect;
}

namespace orvane::controls {

class TGpPicture : public QObject {
    Q_OBJECT
public:
    explicit TGpPicture(QObject* parent = nullptr);

    // Nothing: empties the picture, then OnChange and OnClear.
    void Assign(std::nullptr_t);
    void Assign(const TGpPicture* source);
    // A bitmap or a picture holder's graphic, taken as a BMP file image.
    void Assign(const QImage& bitmap);
    void Assign(const QPixmap& picture);

    // A source that cannot be read, or whose bytes no decoder reads (none
    // included), is a failed load: the picture is left empty, with no bytes
    // and 0 x 0, and nothing is reported. LoadFromStream announces OnChange
    // either way; LoadFromFile when the picture changed.
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice* stream);
    void SaveToStream(QIODevice* stream) const;
    // The form-resource form: exactly the file's bytes. Reading does not
    // measure; UpdateSize does.
    void ReadData(QIODevice* stream);
    void WriteData(QIODevice* stream) const { SaveToStream(stream); }

    bool Empty() const { return empty_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int) {}
    void SetHeight(int) {}
    const QByteArray& Data() const { return data_; }

    // Measures the image: false when there is nothing to measure; bytes
    // that cannot be decoded measure 0 x 0.
    bool UpdateSize();
    // Scaled into r; a BMP leaves out its bottom-left colour, any other
    // format keeps its own alpha.
    void Draw(TCanvas& canvas, const TRect& r) const;

signals:
    void OnChange();
    void OnClear();

private:
    void AssignBitmap(const QImage& bitmap);

    QByteArray data_;
    bool empty_ = true;
    int width_ = 0, height_ = 0;
};

} // namespace orvane::controls
