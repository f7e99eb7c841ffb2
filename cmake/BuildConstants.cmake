# Service addresses, application ids and keys are constants of the build.
# The defaults point at the local service (tools/local-service) on loopback.
set(VEL_SERVICE_API_BASE_URL "http://127.0.0.1:47800" CACHE STRING "Service API base URL (no trailing slash)")
set(VEL_SEMANTIC_BASE_URL "http://127.0.0.1:47801" CACHE STRING "Semantic service base URL")
set(VEL_UPDATE_BASE_URL "http://127.0.0.1:47802" CACHE STRING "Update service base URL")
set(VEL_TRANSLATE_BASE_URL "http://127.0.0.1:47803" CACHE STRING "Translation API origin")
set(VEL_OSS_ENDPOINT "http://oss-cn-shenzhen.localhost:47804" CACHE STRING "Object-storage endpoint")
set(VEL_OSS_BUCKET "travikoffice" CACHE STRING "Object-storage bucket")
set(VEL_OSS_ACCESS_KEY_ID "LTAI5tLocalServiceKey001" CACHE STRING "Object-storage access key id (24 characters)")
set(VEL_OSS_ACCESS_KEY_SECRET "LocalServiceSecretKey000000001" CACHE STRING "Object-storage access key secret (30 characters)")
set(VEL_REVIEW_FEED_URL "http://127.0.0.1:47800/macOS/travikVazade/update_release.xml" CACHE STRING "Review feed address")
set(VEL_SPEECH_WS_URL "ws://127.0.0.1:47805/v1/aiui" CACHE STRING "Speech service web-socket endpoint")
set(VEL_SPEECH_APP_ID "5f3a9c21" CACHE STRING "Speech service application id (8 hex digits)")
set(VEL_SPEECH_API_KEY "0123456789abcdef0123456789abcdef" CACHE STRING "Speech service API key (32 hex digits)")
set(VEL_TRANSLATE_APP_ID "20261211000000001" CACHE STRING "Translation app id (17 digits)")
set(VEL_TRANSLATE_SECRET_KEY "LocalTranslateKey001" CACHE STRING "Translation secret key (20 characters)")
set(VEL_SEMANTIC_ENGINE_ID "7d1f0c2b9e8a4d6f8b3c5a7e9d1f2c4b" CACHE STRING "Semantic engine id (32 hex digits)")

string(LENGTH "${VEL_OSS_ACCESS_KEY_ID}" _len)
if(NOT _len EQUAL 24)
  message(FATAL_ERROR "VEL_OSS_ACCESS_KEY_ID must be 24 characters")
endif()
string(LENGTH "${VEL_OSS_ACCESS_KEY_SECRET}" _len)
if(NOT _len EQUAL 30)
  message(FATAL_ERROR "VEL_OSS_ACCESS_KEY_SECRET must be 30 characters")
endif()

configure_file(${CMAKE_CURRENT_LIST_DIR}/VelBuildConstants.h.in
               ${CMAKE_BINARY_DIR}/generated/VelBuildConstants.h @ONLY)

add_library(vel_build_constants INTERFACE)
target_include_directories(vel_build_constants INTERFACE ${CMAKE_BINARY_DIR}/generated)
