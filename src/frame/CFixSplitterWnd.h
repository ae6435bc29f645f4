#pragma once

#include <QSplitter>

namespace vornex {

// A splitter whose bars stay where the program puts them: they take no mouse input and keep the
// normal arrow cursor. Panes are fixed in size along the splitter or take the rest of it.
class CFixSplitterWnd : public QSplitter {
    Q_OBJECT

public:
    explicit CFixSplitterWnd(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Pane `index` keeps `pixels` along the splitter's orientation; the other panes share the rest.
    void fixPane(int index, int pixels);

protected:
    QSplitterHandle* createHandle() override;
};

}  // namespace vornex
