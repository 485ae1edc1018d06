#pragma once
#define IDD_TEST_FORM   9001
#define IDC_TEST_EDIT   9101
#define IDC_TEST_CHECK  9102
// Colour widgets on a dialog
#define IDD_TEST_COLORS     9002
#define IDC_TEST_COMBO      9103
#define IDC_TEST_COLORBTN   9104
// Property pages of the tree sheet tests: the caption is the page's tree path.
#define IDD_TEST_PAGE_1 9011
#define IDD_TEST_PAGE_2 9012
#define IDD_TEST_PAGE_3 9013
#define IDD_TEST_PAGE_4 9014
