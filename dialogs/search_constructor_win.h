// The search constructor TfmSearchConstructor: the name, the link (or the start of a search
// address) and its continuation of one request of the bookmark tree, to create a request
// or to change the one being edited.
#pragma once

#include <windows.h>

#include "lang/dialog_win.h"
#include "organize/search_tree.h"

namespace qp {

class TfmSearchConstructor final : public Dialog {
 public:
  enum class Choice { Cancel, Create, Change };
  struct Result {
    Choice choice = Choice::Cancel;
    RequestFields fields;
  };

  TfmSearchConstructor();
  // Shows the dialog over owner with these fields until one of its buttons or its close
  // box ends it. Fields the tree's file could not hold are refused there with a message.
  Result Run(HWND owner, const RequestFields& fields);
  // Ends a Run under way as Cancel (the program is closing).
  void Cancel();
  bool Running() const { return running_; }

 protected:
  bool OnKeyPreview(const MSG& msg) override;
  void OnCloseAsked() override;

 private:
  void Finish(Choice choice);
  RequestFields Fields() const;

  Result result_;
  bool running_ = false;
  bool finished_ = false;  // a button or the close box has chosen
};

}  // namespace qp
