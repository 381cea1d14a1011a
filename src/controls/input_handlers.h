// The window-system callbacks other than display. Key events only record what is held; the idle
// tick applies held keys; the mouse turns the camera directly, re-centring the pointer each time.
#pragma once

void onKeyDown(unsigned char key, int x, int y);
void onKeyUp(unsigned char key, int x, int y);
void onSpecialKeyDown(int key, int x, int y);
void onSpecialKeyUp(int key, int x, int y);
void onPassiveMotion(int x, int y);
void onReshape(int width, int height);
void onIdle();

void updateMovement();
// The mouse-look rule without the window-system calls: true when the event turned the camera
// and the pointer must go back to the centre, false for the echo of the last warp.
bool applyMouseLook(int x, int y);

constexpr float mouseSensitivity = 0.25f; // degrees per pixel
constexpr float pitchLimit = 45.0f;       // degrees
