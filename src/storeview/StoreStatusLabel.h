#pragma once

#include <QLabel>
#include <QString>

namespace vornex {

namespace store {
class BenchStore;
}

// The status bar's word on the store: "store: N waiting" or "store: up to date", and the last
// error in red until a pass sends everything, with a warning when the password lies open to others.
// The outbox files that cannot be read are named in red, each with what is wrong with it, as long
// as they are there: they count among the waiting. Hidden while no store is configured and none was
// refused. A long error is cut with an ellipsis where the status bar ends; the tooltip holds it
// whole.
class StoreStatusLabel : public QLabel {
    Q_OBJECT

public:
    // The store must outlive the label.
    explicit StoreStatusLabel(store::BenchStore& store, QWidget* parent = nullptr);

    void setLanguageFile(const QString& languageFile);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // What fits of text(), with an ellipsis where it is cut.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    QString langText(const char* key, const char* fallback) const;

    store::BenchStore& store_;
    QString languageFile_;
};

}  // namespace vornex
