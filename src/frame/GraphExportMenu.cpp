#include "frame/GraphExportMenu.h"

#include <QDir>
#include <QFileDialog>
#include <optional>
#include <utility>

#include "controls/DialogTexts.h"
#include "controls/MessageBox.h"
#include "graph/CXGraph.h"
#include "graph/GraphExport.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "record/CompanionFile.h"

namespace vornex {

GraphExportMenu::GraphExportMenu(QWidget* window, CXGraph& graph,
                                 std::function<QString()> languageFile,
                                 std::function<std::string()> testPath)
    : window_(window),
      graph_(graph),
      languageFile_(std::move(languageFile)),
      testPath_(std::move(testPath)),
      chooser_([window](const QString& caption, const QString& proposed, const QString& filters) {
          return QFileDialog::getSaveFileName(window, caption, proposed, filters);
      }) {}

void GraphExportMenu::exportImage(bool wholeTest) {
    const QString path =
        chooser_(title(wholeTest ? langkey::kMenuExportWholeTest : langkey::kMenuExportView),
                 QDir::home().filePath(QStringLiteral("graph.png")),
                 QStringLiteral("PNG (*.png);;PDF (*.pdf)"));
    if (path.isEmpty() || refused(path)) {
        return;
    }
    const int width = std::max(graph_.width(), 1);
    const int height = std::max(graph_.height(), 1);
    std::optional<WholeTestView> whole;
    if (wholeTest) {
        whole.emplace(graph_);
    }
    const GraphExport exporter(graph_);
    reportFailure(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                      ? exporter.savePdf(path, width, height)
                      : exporter.savePng(path, width, height));
}

void GraphExportMenu::exportViewPoints() {
    const QString path =
        chooser_(title(langkey::kMenuExportViewPoints),
                 QDir::home().filePath(QStringLiteral("graph.csv")), QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty() && !refused(path)) {
        reportFailure(GraphExport(graph_).saveCsv(path));
    }
}

QString GraphExportMenu::title(const char* menuKey) const {
    return titleOfCommand(GetLangString(languageFile_(), QString::fromLatin1(menuKey)));
}

bool GraphExportMenu::refused(const QString& path) const {
    const std::string refusal = testOutputRefusal(testPath_(), path.toStdString());
    reportFailure(QString::fromStdString(refusal));
    return !refusal.empty();
}

void GraphExportMenu::reportFailure(const QString& failure) const {
    if (!failure.isEmpty()) {
        showLangMessage(window_, languageFile_(), langkey::kMessageExportError,
                        MessageIcon::Warning, failure);
    }
}

}  // namespace vornex
