// A scripted scene for screenshots and for checking the magnifier end to end:
// a colourful picture, the panel with two tools, one drag in progress, the properties window open.
#ifndef GLIMBER_HOST_DEMO_SCENE_H
#define GLIMBER_HOST_DEMO_SCENE_H

#include <string>

// Shows the scene, writes a screenshot of the whole screen to `pngPath` and
// compares each tool's picture with the screen area it magnifies. Exit code:
// 0, or 1 when the screenshot fails or (with `strict`) a picture does not match.
int RunDemoScene(const std::string& pngPath, bool strict);

#endif
