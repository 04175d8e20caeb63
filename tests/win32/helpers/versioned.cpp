// Test helper: a program that carries a version resource (versioned.rc) for the version reader's tests.
int main() { return 0; }
