/* The stb implementations that Debian's libstb holds; the Windows build compiles its own. */
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#define STB_RECT_PACK_IMPLEMENTATION
#include <stb/stb_rect_pack.h>
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>
