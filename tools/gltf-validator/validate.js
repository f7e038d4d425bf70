// Validates glTF files with the Khronos validator: validate.js FILE...
// Prints one line per file ("FILE: E errors, W warnings, I infos") and every error and warning
// with its code and place; exits 1 when any file has an error or a warning, 2 when a file
// cannot be read or is not glTF at all.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function check(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 0,
    externalResourceFunction: (uri) =>
      new Promise((resolve, reject) => {
        fs.readFile(path.resolve(path.dirname(file), decodeURIComponent(uri)), (err, data) => {
          if (err) reject(err.toString());
          else resolve(new Uint8Array(data));
        });
      }),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ` +
              `${issues.numInfos} infos`);
  for (const m of issues.messages) {
    if (m.severity <= 1)
      console.log(`  ${m.severity === 0 ? 'error' : 'warning'} ${m.code} ${m.pointer || ''} ${m.message}`);
  }
  return issues.numErrors + issues.numWarnings === 0;
}

(async () => {
  let status = 0;
  for (const file of process.argv.slice(2)) {
    try {
      if (!(await check(file))) status = Math.max(status, 1);
    } catch (error) {
      console.log(`${file}: ${error}`);
      status = 2;
    }
  }
  process.exit(status);
})();
