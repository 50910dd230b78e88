# The program's layers, lowest first, and the layers each may use. A source
# file may include headers of its own folder and of the folders listed for it;
# anything else is a wrong-way include and fails the build (check_layers.cmake).
# The CMake libraries link along the same lines.
set(ZD_LAYERS platform lang store tracking launch tray online uninstall app mainwin)
set(ZD_USES_platform "")
set(ZD_USES_lang platform)
set(ZD_USES_store platform)
set(ZD_USES_tracking store lang platform)
set(ZD_USES_launch tracking store lang platform)
set(ZD_USES_tray tracking store lang platform)
set(ZD_USES_online tracking store lang platform)
set(ZD_USES_uninstall tracking store lang platform)
set(ZD_USES_app launch tray tracking store lang platform)
set(ZD_USES_mainwin app launch tray online uninstall tracking store lang platform)
