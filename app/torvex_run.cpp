// Placeholder until torvex-run lands.
int main() { return 0; }
