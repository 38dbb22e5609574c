# Presets, export and clipboard, the update check, the support mail and the
# mailing list. Addresses are fixed at build time; an empty feed address
# leaves "Check for Updates…" disabled.
set(TESSIVO_UPDATE_FEED_URL "" CACHE STRING "HTTPS address of the update feed (empty: update checks disabled)")
set(TESSIVO_SUPPORT_ADDRESS "support@tessivo.org" CACHE STRING "Support e-mail address")
set(TESSIVO_MAILING_LIST_ENDPOINT "https://tessivo.org/mailinglist.php" CACHE STRING "Mailing-list endpoint (HTTPS)")
set(TESSIVO_PRIVACY_URL "https://tessivo.org/privacy/" CACHE STRING "Privacy policy page")
set(TESSIVO_MAILING_LIST_SUITE "org.tessivo.shared" CACHE STRING "Defaults suite shared by the maker's applications")
configure_file(${CMAKE_CURRENT_LIST_DIR}/core/BuildConfig.h.in ${PROJECT_BINARY_DIR}/generated/app/core/BuildConfig.h @ONLY)

set(TESSIVO_APPX_CORE_DEPS tessivo_qrcode tessivo_imagerw tessivo_defaults tessivo_settings
  Qt6::Core Qt6::Gui Qt6::Network)
