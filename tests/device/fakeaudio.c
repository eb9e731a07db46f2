/* An audio module of another version, for the test that the engine runs on without sound. */
__attribute__((visibility("default"))) unsigned int BASS_GetVersion(void) {
    return 0x00010001u;
}
