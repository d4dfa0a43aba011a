// Compiled only to make the precompiled GoogleTest headers the test sources reuse.
