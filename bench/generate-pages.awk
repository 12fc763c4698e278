# Writes the HTML pages of the benchmark project and prints their paths, one
# a line, relative to the project folder (the [FILES] list of the .hhp).
# Variables: root (project folder), pages (how many), seed.
# Pages hold pseudo-random sentences from a made-up vocabulary so that LZX
# cannot collapse them into a few repeated blocks.
function word(   n, w, i) {
  n = 1 + int(rand() * 3)
  w = ""
  for (i = 0; i < n; i++) w = w syl[int(rand() * nsyl)]
  return w
}
function sentence(   n, s, i) {
  n = 6 + int(rand() * 14)
  s = word()
  s = toupper(substr(s, 1, 1)) substr(s, 2)
  for (i = 1; i < n; i++) s = s " " word()
  return s "."
}
BEGIN {
  nsyl = split("ka lo mi ne su ra te vo pi da gu fe zo ha ri ul on ex ar st in qu ve ly mo tr bl ch sh th wo ya ze ni ko", syl, " ")
  srand(seed)
  for (p = 0; p < pages; p++) {
    sec = int(p / 1000); chap = int(p / 100) % 10
    dir = sprintf("docs/sec%02d/chap%d", sec, chap)
    if (!(dir in made)) { system("mkdir -p '" root "/" dir "'"); made[dir] = 1 }
    rel = sprintf("%s/page%05d.htm", dir, p)
    file = root "/" rel
    target = 2500 + int(rand() * 5500)
    printf "<html><head><title>Page %d</title></head><body>\n<h1>%s</h1>\n", p, sentence() > file
    size = 0
    while (size < target) {
      para = sentence() " " sentence() " " sentence()
      printf "<p>%s</p>\n", para > file
      size += length(para) + 8
    }
    printf "<p><img src=\"../../../images/set%02d/img%03d.png\"></p></body></html>\n", p % 20, p % 400 > file
    close(file)
    print rel
  }
}
