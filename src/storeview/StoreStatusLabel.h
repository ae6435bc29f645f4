#pragma once

#include <QLabel>
#include <QString>

namespace vornex {

namespace store {
class BenchStore;
}

// The status bar's word on the store: "store: N waiting" or "store: up to date", and the last
// error in red until a pass sends everything. Hidden while no store is configured and none was
// refused.
class StoreStatusLabel : public QLabel {
    Q_OBJECT

public:
    // The store must outlive the label.
    explicit StoreStatusLabel(store::BenchStore& store, QWidget* parent = nullptr);

    void setLanguageFile(const QString& languageFile);

private:
    void refresh();

    store::BenchStore& store_;
    QString languageFile_;
};

}  // namespace vornex
