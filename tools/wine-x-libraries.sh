# Sourced: the X extension libraries Wine loads at run time to behave on an X display
# as on a desktop. Debian's libwine only recommends them, and the set-up installs
# without recommends, so it names them: for the 64-bit Wine, beside wine32:i386 as
# :i386, and inside the private 32-bit root.
#   package        library               what Wine does with it
wine_x_libraries=(
  libxi6:libXi.so.6                # XInput2: cursor clipping (Wine 10 confines the pointer to a
                                   # full-screen foreground window), raw mouse input
  libxrandr2:libXrandr.so.2        # RandR: the monitors, their modes and display-change messages
  libxrender1:libXrender.so.1      # XRender: anti-aliased text and alpha blends on X drawables
  libxfixes3:libXfixes.so.3        # XFixes: clipboard owner changes, hiding the pointer
  libxcursor1:libXcursor.so.1      # Xcursor: colour and animated cursors (the tool's drag cursor)
  libxinerama1:libXinerama.so.1    # Xinerama: the monitor layout where RandR gives none
  libxcomposite1:libXcomposite.so.1  # Composite: off-screen rendering of child windows (GL, Vulkan)
  libxxf86vm1:libXxf86vm.so.1      # XF86VidMode: gamma ramps, and modes where RandR gives none
)
# Their package names alone, as apt takes them.
wine_x_packages=()
for wine_x_entry in "${wine_x_libraries[@]}"; do wine_x_packages+=("${wine_x_entry%%:*}"); done
unset wine_x_entry
# The one whose absence makes Wine 10 hang a full-screen window: the runner refuses to start without it.
wine_x_required=libxi6:libXi.so.6
