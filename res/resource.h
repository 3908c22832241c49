#pragma once
#define IDI_KORVANE 1
