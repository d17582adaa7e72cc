// The PNG writer the demo saves its screenshot with (stb_image_write, from Debian's libstb-dev).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
