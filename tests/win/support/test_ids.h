#pragma once
#define IDD_TEST_FORM   9001
#define IDC_TEST_EDIT   9101
#define IDC_TEST_CHECK  9102
