#include "about_box.h"

#include "../core/caption_cipher.h"
#include "../plugin/module_state.h"
#include "../resources/resource.h"
#include "resource_text.h"
#include "tool_record.h"

namespace {

// Only the scrambled bytes reach the binary.
constexpr ScrambledText<21> kHiddenCaption = Scramble("Every pixel, bigger!");

// Right, left, right, left double clicks with no movement in between.
enum GestureStep { kNothingYet = 0, kFirstRight = 1, kFirstLeft = 2, kSecondRight = 3 };

void OnInitAbout(HWND box)
{
    char text[kLabelBufferSize];
    LoadLabel(IDS_ABOUT, text);
    SetWindowTextA(box, text);
    LoadLabel(IDS_TOOLNAME, text);
    SetDlgItemTextA(box, IDC_ABOUTNAME, text);
    LoadLabel(IDS_NOTICE, text);
    SetDlgItemTextA(box, IDC_ABOUTNOTICE, text);
}

void OnRightDoubleClick()
{
    gestureCount = (gestureCount == kNothingYet || gestureCount == kFirstLeft) ? gestureCount + 1 : kNothingYet;
}

void OnLeftDoubleClick(HWND box)
{
    if (gestureCount == kFirstRight) {
        gestureCount = kFirstLeft;
        return;
    }
    if (gestureCount == kSecondRight)
        DescrambleCaption(box);
    gestureCount = kNothingYet;
}

}  // namespace

void DescrambleCaption(HWND box)
{
    char caption[kCaptionBufferSize];
    UnscrambleText(kHiddenCaption.bytes, caption);
    SetWindowTextA(box, caption);
}

void RunAboutBox(HWND owner)
{
    EndActiveDrag();
    DialogBoxParamA(moduleInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDlgProc, 0);
}

INT_PTR CALLBACK AboutDlgProc(HWND box, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitAbout(box);
        return TRUE;
    case WM_COMMAND:
        EndDialog(box, 1);
        return TRUE;
    case WM_DESTROY:
        // Destroyed with its owner (a host that closes the panel while the box is up): the
        // box's own loop must end too, or it would wait for ever on a window that is gone.
        EndDialog(box, 0);
        PostMessageA(nullptr, WM_NULL, 0, 0);  // wakes the loop, which then finds it ended
        return FALSE;
    case WM_MOUSEMOVE:
        gestureCount = kNothingYet;
        return TRUE;
    case WM_RBUTTONDBLCLK:
        OnRightDoubleClick();
        return TRUE;
    case WM_LBUTTONDBLCLK:
        OnLeftDoubleClick(box);
        return TRUE;
    default:
        return FALSE;
    }
}
