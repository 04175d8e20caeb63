// Identifiers of the ThirdParty page (range 3750-3799). Rows 0, 1, 2 and 6 have an info icon (rows 0-2 only),
// name, status, action, Install and Remove, in this order from IDC_TP_ROWn_INFO; row 7 shows its info icon,
// its name and an Install button; rows 3-5 are the Basler combo box's entries.
#pragma once

#define IDD_THIRD_PARTY 3750
#define IDC_THIRD_PARTY_HEADING 3751
#define IDC_TP_DOWNLOAD 3752
#define IDC_TP_STATUS_LINE 3753
#define IDC_TP_BASLER_COMBO 3754
#define IDC_TP_BASLER_STATUS 3755
#define IDC_TP_BASLER_INFO 3756
#define IDC_TP_ROW0_INFO 3760
#define IDC_TP_ROW0_NAME 3761
#define IDC_TP_ROW0_STATUS 3762
#define IDC_TP_ROW0_ACTION 3763
#define IDC_TP_ROW0_INSTALL 3764
#define IDC_TP_ROW0_REMOVE 3765
#define IDC_TP_ROW1_INFO 3766
#define IDC_TP_ROW1_NAME 3767
#define IDC_TP_ROW1_STATUS 3768
#define IDC_TP_ROW1_ACTION 3769
#define IDC_TP_ROW1_INSTALL 3770
#define IDC_TP_ROW1_REMOVE 3771
#define IDC_TP_ROW2_INFO 3772
#define IDC_TP_ROW2_NAME 3773
#define IDC_TP_ROW2_STATUS 3774
#define IDC_TP_ROW2_ACTION 3775
#define IDC_TP_ROW2_INSTALL 3776
#define IDC_TP_ROW2_REMOVE 3777
#define IDC_TP_ROW6_NAME 3779
#define IDC_TP_ROW6_STATUS 3780
#define IDC_TP_ROW6_ACTION 3781
#define IDC_TP_ROW6_INSTALL 3782
#define IDC_TP_ROW6_REMOVE 3783
#define IDC_TP_ROW7_INFO 3784
#define IDC_TP_ROW7_NAME 3785
#define IDC_TP_ROW7_INSTALL 3786
