// A search view that writes down what it was told, for the presenter's tests.
#pragma once

#include <string>
#include <vector>

#include "launch/search.h"

namespace zd {

class FakeSearchView : public SearchView {
 public:
  void ShowResults(size_t rows) override {
    visible = true;
    events.push_back("show " + std::to_string(rows));
  }
  void HideResults() override {
    visible = false;
    events.push_back("hide");
  }
  bool ResultsVisible() const override { return visible; }
  void ClearResults() override { events.push_back("clear"); }
  void FocusResults(size_t row) override { events.push_back("focus " + std::to_string(row)); }
  void SetSearchText(const std::string& text) override {
    // As an edit control: the change arrives before the call returns.
    events.push_back("text " + text);
    if (presenter) presenter->EdtSearchChange(text);
  }
  void SelectRow(size_t row) override { events.push_back("select " + std::to_string(row)); }

  SearchPresenter* presenter = nullptr;  // told of SetSearchText's change when set
  bool visible = false;
  std::vector<std::string> events;
};

}  // namespace zd
