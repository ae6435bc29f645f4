#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>

#include "config/AppPaths.h"
#include "registerwin/RegisterWords.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QTableView;

namespace vornex {

class CycleCounter;
class ReferenceTableModel;
class RegisterFilter;
class ToolTableModel;

// The lab's register as the home folder keeps it: a tab of tools and a tab of reference
// instruments, each sortable by its columns and cut down by a text and by a list (all, overdue,
// due within the lead time, due next month). It holds nothing but what it read: Refresh reads the
// register again. The tools' cycles are counted on a thread of their own and fill in as they
// come. A register that cannot be read, or lines of it that cannot, are said above the tables.
class RegisterWindow : public QWidget {
    Q_OBJECT

public:
    RegisterWindow(const AppPaths& paths, const QString& languageFile, QWidget* parent = nullptr);
    ~RegisterWindow() override;

    // Reads the register again and counts the tools' cycles anew.
    void refresh();

private:
    QTableView* addTable(RegisterFilter* filter, const char* titleKey, const QString& name);
    void showProblems(const QStringList& problems);
    void showCount();
    void cyclesCounted(quint64 serial, const QString& id, qlonglong pulls, int tests, int unread);

    const AppPaths paths_;
    const RegisterWords words_;
    std::unique_ptr<CycleCounter> counter_;
    uint64_t serial_ = 0;
    ToolTableModel* tools_;
    ReferenceTableModel* references_;
    RegisterFilter* toolFilter_;
    RegisterFilter* referenceFilter_;
    QLabel* problems_ = nullptr;
    QLineEdit* find_ = nullptr;
    QComboBox* list_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLabel* shown_ = nullptr;
};

}  // namespace vornex
