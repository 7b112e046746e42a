#include "setup/helpform.h"

Tf_Help* f_Help = nullptr;

Tf_Help::Tf_Help(TComponent* owner) : TForm(owner) {
  Publish("Memo1", Memo1);
  Initialize("Tf_Help");
}
