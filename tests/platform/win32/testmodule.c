/* Loaded by name in the module tests. */
int TestModuleAnswer(void) {
    return 42;
}
