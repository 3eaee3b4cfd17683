// The smallest plug-in that answers every call with success and nothing else. Built twice: without
// PGM_Write (eleven exports, FAKE_WITHOUT_WRITE) and without a description (FAKE_WITHOUT_DESCRIPTION).
#include "device/PluginInterface.h"

extern "C" {

int32_t PGM_GetDescription(const char** description) {
#ifndef FAKE_WITHOUT_DESCRIPTION
    *description = "Minimal plug-in";
#else
    (void)description;
#endif
    return 0;
}

int32_t PGM_GetVersion(const char**) {
    return 0;
}

int32_t PGM_EnumeratePorts(char*, uint32_t) {
    return 0;
}

int32_t PGM_GetGlobalFacility(uint32_t, uint32_t*) {
    return 0;
}

int32_t PGM_GetSessionFacility(uint32_t, uint32_t, uint32_t*) {
    return 0;
}

int32_t PGM_SetSessionFacility(uint32_t, uint32_t, uint32_t) {
    return 0;
}

uint32_t PGM_Attach(const char*) {
    return 1;
}

int32_t PGM_Detach(uint32_t) {
    return 0;
}

int32_t PGM_GetFirmware(uint32_t, char*, uint32_t* length) {
    *length = 0;
    return 0;
}

int32_t PGM_Reset(uint32_t) {
    return 0;
}

int32_t PGM_Read(uint32_t, uint32_t, uint8_t*, uint32_t*) {
    return 0;
}

#ifndef FAKE_WITHOUT_WRITE
int32_t PGM_Write(uint32_t, uint32_t, const uint8_t*, uint32_t*) {
    return 0;
}
#endif

}  // extern "C"
