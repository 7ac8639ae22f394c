// Runs the Khronos glTF Validator over files and prints its counts; exits 1
// when any file has an error. Usage: node validate-gltf.js FILE...
// The validator comes from npm (scripts/setup.sh installs it into
// .cache/gltf-validator); NODE_PATH or the default place finds it.
'use strict';
const fs = require('fs');
const path = require('path');
let validator;
try {
  validator = require('gltf-validator');
} catch (e) {
  validator = require(path.join(__dirname, '..', '.cache', 'gltf-validator', 'node_modules', 'gltf-validator'));
}

async function validate(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const folder = path.dirname(file);
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    externalResourceFunction: (uri) => new Promise((resolve, reject) => {
      const target = path.join(folder, decodeURIComponent(uri));
      fs.readFile(target, (error, data) => (error ? reject(error.toString()) : resolve(new Uint8Array(data))));
    }),
  });
  const issues = report.issues;
  console.log(`${file}: ${issues.numErrors} errors, ${issues.numWarnings} warnings, ${issues.numInfos} infos`);
  for (const message of issues.messages.filter((m) => m.severity <= 1)) {
    console.log(`  ${message.severity === 0 ? 'error' : 'warning'} ${message.code} at ${message.pointer}: ${message.message}`);
  }
  return issues.numErrors;
}

(async () => {
  let errors = 0;
  for (const file of process.argv.slice(2)) errors += await validate(file);
  process.exit(errors > 0 ? 1 : 0);
})().catch((error) => {
  console.error(String(error));
  process.exit(2);
});
