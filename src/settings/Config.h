#pragma once
// The settings dialog: created hidden at start, lives until the end.
#include "framework/Form.h"

namespace tavelo {

class TConfigForm : public TForm {
 public:
  explicit TConfigForm(TComponent* owner);
};

extern TConfigForm* ConfigForm;

}  // namespace tavelo
