#pragma once

// Resource and control identifiers of the Windows program. Shared by the resource script and
// the C++ code, so only preprocessor definitions.

#define IDI_CORVANEL 1

// Control ids. 1 and 2 are IDOK and IDCANCEL, which the dialog manager sends for Enter (with no
// default button) and Escape, so no control has them.
#define IDC_MEMCODE 101
#define IDC_BTNFILT 102
#define IDC_BTNCOPY 103
#define IDC_EDTCOPY 104
#define IDC_BTNCLOSE 105
#define IDC_LBLJUSHU 106
#define IDC_EDTDJ 107
#define IDC_LABEL2 108
#define IDC_LBLKJ 109
#define IDC_EDTCODE 110
#define IDC_BTNSAVE 111
