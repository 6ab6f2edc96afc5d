#ifndef SCREENSCALING_H
#define SCREENSCALING_H

// How the window scales with the screen's resolution. Set before the
// application object exists.
class ScreenScaling
{
public:
    // Layouts and icons follow the screen's resolution, at its own factor: a
    // desktop at 144 dpi scales by 1.5, not rounded up to 2, which would make
    // the window too large for a 1920x1080 screen.
    static void prepare();
};

#endif // SCREENSCALING_H
