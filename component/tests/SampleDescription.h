// A description in canonical text form (exactly as DescriptionToText prints
// it, and as the writer stores the test components) using every value kind.
#pragma once

inline constexpr char kSampleText[] =
    "object Form1: TTestForm\n"
    "  Caption = 'Setup'\n"
    "  OnShow = FormShow\n"
    "  object Panel1: TTestPanel\n"
    "    Width = 300\n"
    "    object b_Ok: TTestButton\n"
    "      Enabled = False\n"
    "      Left = -5\n"
    "      Caption = 'It''s'#13#10'OK'\n"
    "      Align = alBottom\n"
    "      Font.Style = [fsBold, fsItalic]\n"
    "      Lines.Strings = (\n"
    "        'one'\n"
    "        '')\n"
    "      OnClick = b_OkClick\n"
    "      Data = {\n"
    "        0102FF}\n"
    "    end\n"
    "  end\n"
    "  object b_Cancel: TTestButton\n"
    "    Tag = 7\n"
    "    Enabled = True\n"
    "    Left = 100000\n"
    "    Align = alNone\n"
    "    Font.Style = []\n"
    "  end\n"
    "end\n";
