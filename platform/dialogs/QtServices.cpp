#include "platform/dialogs/QtServices.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QMimeType>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>
#include <QUrl>

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Menu.h"
#include "platform/core/BmpFile.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/qtbase/QtSupport.h"

namespace platform {

Services& realServices() {
  static QtServices real;
  return real;
}

namespace {

QWidget* activeWindow() { return modalOwner(); }

std::vector<std::string> splitBars(const std::string& s) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = s.find('|', start);
    parts.push_back(s.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return parts;
}

}  // namespace

std::vector<std::string> qtNameFilters(const std::string& filter) {
  std::vector<std::string> result;
  const auto parts = splitBars(filter);
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : qs(parts[i + 1]).split(';', Qt::SkipEmptyParts)) {
      const QString t = p.trimmed();
      // Windows names carry extensions that files here lack: "*.*" and programs match every file.
      patterns << ((t == "*.*" || t.compare("*.exe", Qt::CaseInsensitive) == 0) ? QString("*") : t);
    }
    result.push_back(parts[i] + " (" + ss(patterns.join(' ')) + ")");
  }
  return result;
}

ModalResult QtServices::messageBox(const std::string& text, MsgType type, MsgButtons buttons) {
  static const struct {
    QMessageBox::Icon icon;
    const char* title;
  } kinds[] = {{QMessageBox::Warning, "Warning"},
               {QMessageBox::Critical, "Error"},
               {QMessageBox::Information, "Information"},
               {QMessageBox::Question, "Confirm"}};
  const auto& kind = kinds[static_cast<int>(type)];
  // A lone carriage return breaks the line, as it does in a Windows box.
  QString shown = qs(text);
  shown.replace("\r\n", "\n").replace('\r', '\n');
  QMessageBox box(kind.icon, kind.title, shown, QMessageBox::NoButton, activeWindow(), dialogFrame());
  QAbstractButton* ok = nullptr;
  QAbstractButton* yes = nullptr;
  QAbstractButton* no = nullptr;
  if (buttons == MsgButtons::Ok) {
    ok = box.addButton(QMessageBox::Ok);
  } else {
    yes = box.addButton(QMessageBox::Yes);
    no = box.addButton(QMessageBox::No);
  }
  // Closing the box without an answer gives Cancel, which is neither Yes nor No.
  QAbstractButton* cancel = box.addButton(QMessageBox::Cancel);
  cancel->hide();
  box.setEscapeButton(cancel);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked && clicked == ok) return mrOk;
  if (clicked && clicked == yes) return mrYes;
  if (clicked && clicked == no) return mrNo;
  return mrCancel;
}

void QtServices::plainMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, qs(Application::instance().title()), qs(text), QMessageBox::Ok,
                  activeWindow(), dialogFrame());
  box.exec();
}

void QtServices::exceptionBox(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, qs(Application::instance().title()), qs(text), QMessageBox::Ok,
                  activeWindow(), dialogFrame());
  box.exec();
}

namespace {

class FileDialogWidget : public QFileDialog {
 public:
  FileDialogWidget(const FileDialogRequest& request, QWidget* owner)
      : QFileDialog(owner, dialogFrame()), request_(request) {
    setOption(DontUseNativeDialog);
    setOption(DontConfirmOverwrite);
    // The program's filter texts already name their patterns; Qt's own copy would show them twice.
    setOption(HideNameFilterDetails);
    if (request.preview) addPreview();
    if (auto* name = findChild<QLineEdit*>("fileNameEdit"))
      connect(name, &QLineEdit::textChanged, this, [this](const QString& text) { keepOnlyTypedFolder(text); });
  }

  void accept() override {
    if (request_.pathMustExist && !selectedFiles().isEmpty()) {
      const QFileInfo chosen(selectedFiles().first());
      if (!chosen.isDir() && !chosen.absoluteDir().exists()) {
        services().messageBox(ss(chosen.fileName()) + "\rPath does not exist.\rCheck the path and try again.",
                              MsgType::Warning, MsgButtons::Ok);
        return;
      }
    }
    QFileDialog::accept();
  }

 private:
  // While a path is typed, Qt selects each folder it passes through, and keeps those selections when the
  // name box lacks the keyboard focus (keys sent to a window that is not active); selected rows take the
  // place of the typed text, so the first folder would turn Save into Open, or disable it. Only a folder
  // the text itself names stays selected, so that a typed folder name still opens that folder.
  void keepOnlyTypedFolder(const QString& text) {
    auto* list = findChild<QAbstractItemView*>("listView");
    if (!list || !list->selectionModel() || text.isEmpty() || text.contains('"')) return;
    const QString typed = QDir::cleanPath(directory().absoluteFilePath(text));
    for (const QModelIndex& row : list->selectionModel()->selectedRows()) {
      const QString path = row.data(QFileSystemModel::FilePathRole).toString();
      if (QFileInfo(path).isDir() && QDir::cleanPath(path) != typed)
        list->selectionModel()->select(row, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
  }

  void addPreview() {
    auto* grid = qobject_cast<QGridLayout*>(layout());
    if (!grid) return;
    auto* shown = new QLabel(this);
    shown->setObjectName("preview");
    shown->setFixedSize(160, 160);
    shown->setAlignment(Qt::AlignCenter);
    shown->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    grid->addWidget(shown, 1, grid->columnCount(), 1, 1);
    connect(this, &QFileDialog::currentChanged, shown, [shown](const QString& path) {
      shown->clear();
      if (!QFileInfo(path).isFile()) return;
      try {
        // Our own reader refuses a malformed file before allocating anything.
        const QImage picture = toQImage(loadBmpFile(ss(path))).copy();
        shown->setPixmap(QPixmap::fromImage(picture.scaled(shown->size() - QSize(4, 4), Qt::KeepAspectRatio)));
      } catch (const std::exception&) {
        // Not a bitmap we can show: no preview.
      }
    });
  }

  const FileDialogRequest request_;
};

// Qt gives the detail columns the widths of sample texts narrower than those it shows ("59.1 KiB",
// "1,000 bytes", "Windows BMP image", a date with seconds), and cuts them. Size, type and date follow their
// widest text, and the dialog grows by the room they take beyond Qt's, so the name keeps its own; the side
// bar is as wide as its widest place.
int giveColumnsRoom(QFileDialog& dialog) {
  int extra = 0;
  if (auto* tree = dialog.findChild<QTreeView*>("treeView")) {
    QHeaderView* header = tree->header();
    const QFontMetrics text(tree->font());
    const int textMargin = 2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
    const int headerMargin = 2 * tree->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) +
                             tree->style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    const QLocale locale = QLocale::system();
    const QString samples[] = {
        locale.formattedDataSize(qint64{1023} * 1024 * 1024 + 1000 * 1024), locale.formattedDataSize(1000),
        QMimeDatabase().mimeTypeForName(QStringLiteral("image/bmp")).comment(),
        locale.toString(QDateTime(QDate(2026, 12, 28), QTime(23, 58, 58)), QLocale::ShortFormat)};
    const int columns[] = {1, 1, 2, 3};
    int needed[4] = {};
    for (int i = 0; i < 4; ++i) {
      const int column = columns[i];
      const QString title =
          header->model() ? header->model()->headerData(column, Qt::Horizontal).toString() : "";
      needed[column] = std::max({needed[column], text.horizontalAdvance(samples[i]) + textMargin,
                                 header->fontMetrics().horizontalAdvance(title) + headerMargin});
    }
    for (int column = 1; column <= 3; ++column) {
      extra += std::max(0, needed[column] - header->sectionSize(column));
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
  if (auto* side = dialog.findChild<QListView*>("sidebar")) {
    const int widest = side->sizeHintForColumn(0) + 2 * side->frameWidth();
    extra += std::max(0, widest - side->sizeHint().width());
    side->setMinimumWidth(widest);
  }
  return extra;
}

}  // namespace

std::unique_ptr<QFileDialog> makeFileDialog(const FileDialogRequest& r, QWidget* owner) {
  auto dlg = std::make_unique<FileDialogWidget>(r, owner);
  dlg->setAcceptMode(r.kind == FileDialogKind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg->setFileMode(r.kind == FileDialogKind::Open && r.fileMustExist ? QFileDialog::ExistingFile
                                                                     : QFileDialog::AnyFile);
  if (!r.title.empty()) dlg->setWindowTitle(qs(r.title));
  QStringList filters;
  for (const std::string& f : qtNameFilters(r.filter)) filters << qs(f);
  if (!filters.isEmpty()) {
    dlg->setNameFilters(filters);
    dlg->selectNameFilter(filters.value(std::max(0, r.filterIndex - 1)));
  }
  if (!r.initialDir.empty()) dlg->setDirectory(qs(r.initialDir));
  if (!r.fileName.empty()) dlg->selectFile(qs(r.fileName));
  // A window that can be resized gets the window manager's resize handle along its bottom edge, a strip
  // under Cancel and the size grip that reads as a squashed control: the dialog keeps the size that shows
  // all of it, the preview included.
  dlg->setSizeGripEnabled(false);
  const int extra = giveColumnsRoom(*dlg);
  dlg->setFixedSize(dlg->sizeHint() + QSize(extra, 0));
  return dlg;
}

std::optional<std::string> QtServices::fileDialog(const FileDialogRequest& r) {
  const auto dlg = makeFileDialog(r, activeWindow());
  if (dlg->exec() != QDialog::Accepted || dlg->selectedFiles().isEmpty()) return std::nullopt;
  return withDefaultExtension(ss(dlg->selectedFiles().first()), r.defaultExt);
}

std::optional<std::string> QtServices::inputBox(const std::string& caption, const std::string& prompt,
                                                const std::string& value) {
  QInputDialog dlg(activeWindow(), dialogFrame());
  dlg.setWindowTitle(qs(caption));
  dlg.setLabelText(qs(prompt));
  dlg.setTextValue(qs(value));
  // Fixed like the message boxes: a box that can be resized gets the window manager's resize strip under
  // its buttons.
  // Qt's own layout bounds only the height; asking the size builds that layout.
  dlg.setSizeGripEnabled(false);
  dlg.sizeHint();
  if (dlg.layout()) dlg.layout()->setSizeConstraint(QLayout::SetFixedSize);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return ss(dlg.textValue());
}

std::optional<Color> QtServices::colorDialog(Color initial) {
  QColorDialog dlg(QColor(redOf(initial), greenOf(initial), blueOf(initial)), activeWindow());
  dlg.setWindowFlags(dialogFrame());
  dlg.setOption(QColorDialog::DontUseNativeDialog);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  const QColor c = dlg.selectedColor();
  return rgb(c.red(), c.green(), c.blue());
}

ModalResult QtServices::showModal(Form& form) { return form.runModalLoop(); }

void QtServices::popup(PopupMenu& menu, int screenX, int screenY) {
  menu.menu()->popup(QPoint(screenX, screenY));
}

int QtServices::createProcess(const std::string& commandLine) { return spawnProcess(commandLine); }

bool QtServices::waitForProcess(int pid, std::uint32_t timeLimitMs) { return waitProcess(pid, timeLimitMs); }

void QtServices::terminateProcess(int pid) { killProcess(pid); }

void QtServices::startProgram(const std::string& commandLine) { spawnDetached(commandLine); }

bool QtServices::shellOpen(const std::string& url) {
  const QUrl target(qs(url));
  return target.isValid() && !target.isEmpty() && QDesktopServices::openUrl(target);
}

}  // namespace platform
