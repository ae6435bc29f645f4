#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/CDigiChar.h"
#include "controls/DigiGrid.h"

namespace vornex {

// A static text drawn as a row of LED cells, like a panel meter. The row is scaled to the
// widget; unlit segments stay visible in a dark shade.
class CDigiStatic : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE SetText)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    // The caption is what the text "?" (the initial text) shows.
    explicit CDigiStatic(const QString& caption, QWidget* parent = nullptr);
    ~CDigiStatic() override;

    // Repaints only when text differs from the current text.
    void SetText(const QString& text);
    QString text() const { return text_; }

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

    // Clears the bits of remove, then sets those of add, and repaints.
    void ModifyDigiStyle(uint32_t remove, uint32_t add);
    uint32_t digiStyle() const { return style_; }

    // A segment's edge colour: a quarter of the background blended in when outlines are soft.
    static QColor OutlineColor(QColor segment, QColor background, uint32_t style);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void rebuildCells();
    int32_t gridWidthOf(const QString& text) const;
    void changed();

    QString text_ = QStringLiteral("?");
    QString caption_;
    bool modified_ = true;
    std::vector<std::unique_ptr<CDigiChar>> cells_;
    QColor offColor_{0, 52, 0};
    QColor onColor_{0, 255, 0};
    QColor backgroundColor_{0, 0, 0};
    uint32_t style_ = DIGI_KEEP_ASPECT | DIGI_SOFT_OUTLINE;
};

}  // namespace vornex
