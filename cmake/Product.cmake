# What the product installs, fixed at build time and shared by the parts of
# the build that make, carry and remove it.

set(TAV_PRODUCT_NAME "TAV Quillbox")
set(TAV_PRODUCT_VERSION "2.1.1")
# The application's zip archive holds these members, stored without folders.
set(TAV_ARCHIVE_MEMBERS "TAV Quillbox.exe" "uninstall.exe" "ReadMe.txt")
# Everything the installation writes into the destination folder: the two
# carried libraries and the archive's members. The uninstaller removes
# exactly these.
set(TAV_INSTALLED_FILES "zipdll.dll" "unzdll.dll" ${TAV_ARCHIVE_MEMBERS})
