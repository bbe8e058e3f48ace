#include "settings/Config.h"

namespace tavelo {

TConfigForm* ConfigForm = nullptr;

TConfigForm::TConfigForm(TComponent* owner) : TForm(owner, L"TConfigForm") {
  SetCaption(L"Tavelo");
}

}  // namespace tavelo
