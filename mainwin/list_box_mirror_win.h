// A Win32 list box as the mirror of a document list: the list drives it.
#pragma once

#include <windows.h>

#include "store/doc_list.h"

namespace zd {

class ListBoxMirror : public ListMirror {
 public:
  explicit ListBoxMirror(HWND list_box) : list_box_(list_box) {}
  void InsertRow(size_t index, const std::string& text) override;
  void DeleteRow(size_t index) override;
  void ClearRows() override;
  size_t RowCount() const override;
  std::vector<size_t> SelectedRows() const override;
  void SetRows(const std::vector<std::string>& rows) override;
  // The row keeps its selection.
  void ReplaceRow(size_t index, const std::string& text) override;
  // The list box stops drawing until the outermost EndUpdate.
  void BeginUpdate() override;
  void EndUpdate() override;
  HWND hwnd() const { return list_box_; }

 private:
  HWND list_box_;
  int updating_ = 0;
};

}  // namespace zd
