/* Prints the text of the message box whose caption is the first argument, or nothing and
   exit status 1 when there is none. Run inside the prefix the box belongs to. */
#include <stdio.h>
#include <windows.h>

#define MESSAGE_BOX_TEXT_ID 0xFFFF

int main(int argc, char** argv)
{
    char text[1024] = {0};
    HWND box;
    if (argc != 2) {
        fprintf(stderr, "usage: box_text CAPTION\n");
        return 2;
    }
    box = FindWindowA("#32770", argv[1]);
    if (!box || !GetDlgItemTextA(box, MESSAGE_BOX_TEXT_ID, text, sizeof text)) {
        return 1;
    }
    printf("%s\n", text);
    return 0;
}
