#pragma once
#define IDI_KORVANE 1
#define IDI_FOLDER_CLOSED 2
#define IDI_FOLDER_OPEN 3
