#pragma once
// The main window: its controls as named members and one method per bound event. The
// layout lives in form1_layout.cpp, the wiring of events to these methods in
// form1_wiring.cpp; the handlers themselves beside them, one file per concern.

#include <QWidget>
#include <exception>
#include <optional>
#include <string>

#include "core/folder.h"
#include "core/folder_index.h"
#include "core/settings.h"
#include "form/drag_controller.h"

class QTabWidget;
class QLineEdit;
class QPushButton;
class QComboBox;
class QLabel;
class QFrame;

namespace corvane {

class PlatformServices;
class ListBox;
class UpDown;
class Shape;
class RadioGroup;
class DragController;

// Program-wide state that lives for the whole run.
struct ProgramState {
  corvane::Settings Settings;
  std::string IniDir;  // as this file system names it
  std::string DragItem;
  // What the two file dialogs remember between openings (file-system encoding).
  std::string OpenDialog1FileName;
  std::string OpenDialog2FileName = "dir";
  // The input folder as chosen, and the Edit1 text that named it: a run or reload while
  // Edit1 still says so must find that very folder there.
  std::optional<FolderId> InputFolder;
  std::string InputFolderText;
};

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  TForm1(ProgramState& state, PlatformServices& services, QWidget* parent = nullptr);
  ~TForm1() override;

  ProgramState& State() { return state_; }
  // The folder the input directory must be, if Edit1 still names the one chosen.
  std::optional<FolderId> ChosenInputFolder() const;
  PlatformServices& Services() { return services_; }

  // Runs a handler the way every event does: an error ends it and is shown by the
  // standard error report, and control returns to the event loop.
  //
  // A handler that runs because another one set a control's text (FormCreate setting
  // Edit2, say) fails its caller instead: the error is kept and raised again where the
  // text was set, so the outer handler ends there and the report is shown once.
  template <typename F>
  void Guarded(F&& handler) {
    if (handlerDepth_ > 0) {
      try {
        handler();
      } catch (...) {
        if (!pending_) pending_ = std::current_exception();
      }
      return;
    }
    ++handlerDepth_;
    try {
      handler();
      RethrowPending();
    } catch (...) {
      pending_ = nullptr;
      ReportCurrentException();
    }
    --handlerDepth_;
  }
  void ReportCurrentException() noexcept;

  // A line edit's text as CP932 bytes, and setting it (which runs its change handler
  // when the text really changes; an error there is raised here).
  std::string ControlText(const QLineEdit* edit) const;
  void SetControlText(QLineEdit* edit, const std::string& text);

  // --- handlers (names as the window's tables give them) ---
  void FormCreate();
  void Button4Click();
  // input selection
  void Button1Click();
  void Edit1Change();
  // list editing
  void ListBox1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
  void ListBox2MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
  void ListBox1DragOver(ListBox* source, int X, int Y, DragState state, bool& accept);
  void ListBox2DragOver(ListBox* source, int X, int Y, DragState state, bool& accept);
  void ListBox1DragDrop(ListBox* source, int X, int Y);
  void ListBox2DragDrop(ListBox* source, int X, int Y);
  void ListBox1EndDrag(ListBox* target, int X, int Y);
  void ListBox2EndDrag(ListBox* target, int X, int Y);
  void Button10Click();
  void Button2Click();
  // site generation
  void Button3Click();
  // saved list
  void Button11Click();
  void Button8Click();
  void Button9Click();
  // colours
  void Combobox1Change();
  void Shape2MouseDown();
  void Shape3MouseDown();
  void Shape4MouseDown();
  void Shape5MouseDown();
  void Shape6MouseDown();
  void Shape7MouseDown();
  void Shape8MouseDown();
  void Shape9MouseDown();
  void Shape10MouseDown();
  void Shape11MouseDown();
  void Shape12MouseDown();
  void Shape13MouseDown();
  void Shape14MouseDown();
  void Shape15MouseDown();
  void Shape16MouseDown();
  void Shape17MouseDown();
  // layout numbers, menu side, working directory, save
  void Edit2Change();
  void Edit3Change();
  void UpDown1Click(bool up);
  void UpDown2Click(bool up);
  void RadioGroup1Click();
  void Button6Click();
  void Button5Click();
  void Button7Click();

  // --- controls ---
  QPushButton* Button4 = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* TabSheet3 = nullptr;

  QLineEdit* Edit1 = nullptr;
  ListBox* ListBox1 = nullptr;
  QPushButton* Button1 = nullptr;
  ListBox* ListBox2 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button8 = nullptr;
  QPushButton* Button9 = nullptr;
  QPushButton* Button10 = nullptr;
  QPushButton* Button11 = nullptr;

  QComboBox* Combobox1 = nullptr;
  Shape* Shape1 = nullptr;
  QFrame* Panel1 = nullptr;
  Shape* Shapes[18] = {};  // Shapes[2] .. Shapes[17] are Shape2 .. Shape17
  QLineEdit* Edit2 = nullptr;
  UpDown* UpDown1 = nullptr;
  RadioGroup* RadioGroup1 = nullptr;
  QLineEdit* Edit3 = nullptr;
  UpDown* UpDown2 = nullptr;
  QPushButton* Button5 = nullptr;

  QLineEdit* Edit4 = nullptr;
  QPushButton* Button6 = nullptr;
  QPushButton* Button7 = nullptr;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  QFrame* Bevel1 = nullptr;
  QFrame* Bevel2 = nullptr;
  QFrame* Bevel3 = nullptr;
  QFrame* Bevel4 = nullptr;

  DragController* Drag = nullptr;

 private:
  void BuildLayout();  // form1_layout.cpp
  void WireEvents();   // form1_wiring.cpp
  void NameControlsForAssistiveTools();
  void AssignSwatchColor(int shapeNumber);

  void RethrowPending();

  // Shared by the handlers of the two lists.
  void StartDrag(ListBox* list, int x, int y);
  void DragOverList(ListBox* list, int y);
  void DropOnList(ListBox* list, int x, int y);
  void EndDragOnList(ListBox* list, ListBox* target, int x, int y);
  void InsertDragItem(ListBox* list, int index);
  void NumberFieldChanged(QLineEdit* edit, UpDown* spin, std::string& setting);
  void SpinClicked(UpDown* spin, QLineEdit* edit, std::string& setting);
  void LoadSavedList();
  std::string WorkDirForDialog();

  // The folder index of the operation now running: the handler an event runs creates it,
  // and the handlers it sets off by setting a control (Edit1Change) share it, so that an
  // operation reads a folder at most once.
  class OperationNames {
   public:
    explicit OperationNames(TForm1& form);
    ~OperationNames();
    OperationNames(const OperationNames&) = delete;
    OperationNames& operator=(const OperationNames&) = delete;
    FolderIndex* operator->() { return form_.names_; }

   private:
    TForm1& form_;
    std::optional<FolderIndex> own_;
  };
  FolderIndex* names_ = nullptr;

  ProgramState& state_;
  PlatformServices& services_;
  int handlerDepth_ = 0;
  std::exception_ptr pending_;
  // The list whose selected entry is being dragged, if it was the selected one.
  ListBox* selectedDragSource_ = nullptr;
};

}  // namespace corvane
