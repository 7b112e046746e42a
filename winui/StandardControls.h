// Makes the window layer's control classes known to the description reader:
// TLabel, TBevel, TImage, TGroupBox, TSpeedButton, TEdit, TButton,
// TCheckBox, TProgressBar and TMemo.
#pragma once

void RegisterStandardControls();
